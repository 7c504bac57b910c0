#include "support/plugin_fixture.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "config/config_window.h"
#include "config/tray_icon.h"
#include "plugin/lifecycle.h"
#include "popup/popup_window.h"
#include "win/module_state.h"
#include "win/outside_effects.h"

namespace vemo::test {

namespace {

std::vector<bool> gBeepCalls;
bool gBeepFoundOn = true;
std::vector<ShownBox> gShownBoxes;

void RecordBeep(bool on) { gBeepCalls.push_back(on); }
bool FoundBeep() { return gBeepFoundOn; }
int RecordBox(HWND owner, const char* text, const char* caption, UINT type) {
    gShownBoxes.push_back({owner, text ? text : "", caption ? caption : "", type});
    return IDOK;
}

// A window of its own that tries the combinations, so the test never holds what the
// plug-in holds.
HWND ProbeWindow() {
    static HWND window = CreateWindowExA(0, "STATIC", "hotkey probe", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                         GetModuleHandleA(nullptr), nullptr);
    return window;
}

constexpr int kProbeId = 0xBFF0;

}  // namespace

std::vector<bool>& BeepCalls() { return gBeepCalls; }
void SetBeepFoundOn(bool on) { gBeepFoundOn = on; }
std::vector<ShownBox>& ShownBoxes() { return gShownBoxes; }

void PluginTest::SetUp() {
    settingsPath_ = temp_.File("Plugin.ini");
    SetSettingsPathForTests(settingsPath_);
    gBeepCalls.clear();
    gBeepFoundOn = true;
    gShownBoxes.clear();
    Effects().SetWarningBeep = RecordBeep;
    Effects().WarningBeep = FoundBeep;
    Effects().AskUser = RecordBox;
}

void PluginTest::TearDown() {
    // The shell keeps an icon past the window it belongs to.
    RemoveTrayIcon();
    ResetStateForTests();
}

GeneralPurposePlugin* PluginTest::Load() {
    GeneralPurposePlugin* record = GetPluginRecord();
    record->PlayerWindow = player_.Window();
    record->Instance = OwnModule();
    SetUpWithPlayer();
    DeliverStartMessages();
    return record;
}

void DeliverStartMessages() {
    MSG msg;
    while (gPlugin.ConfigWindow &&
           PeekMessageW(&msg, gPlugin.ConfigWindow, kTrayAddMessage, kTrayAddMessage, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
}

void PluginTest::LoadAndInit() { Load()->Init(); }

void PopupTest::SetUp() {
    PluginTest::SetUp();
    WriteSettingsFile("[Vemo Plugin]\r\nDisable vemos=1\r\n" + startSettings_);
    LoadAndInit();
    gSettings.Set(OptionId::DisableVemos, false);
    KillTimer(gPlugin.MainPopup, kTimerHideMainPopup);
    gSongWatch = SongWatchState{};
    player_.ClearMessages();
}

void PluginTest::WriteSettingsFile(std::string_view content) { WriteAll(settingsPath_, content); }

bool TakeTimer(HWND window, UINT_PTR id) { return KillTimer(window, id) != FALSE; }

UINT TakeTimerPeriod(UINT_PTR id) {
    const UINT period = TimerPeriod(id);
    return TakeTimer(gPlugin.MainPopup, id) ? period : 0;
}

bool PressKeys(std::initializer_list<WORD> modifiers, WORD virtualKey) {
    std::vector<INPUT> input;
    auto key = [&](WORD vk, bool up) {
        // Arrows and the like are extended keys; without the flag they read as keypad keys.
        const bool extended = vk >= VK_PRIOR && vk <= VK_DELETE;
        INPUT one{};
        one.type = INPUT_KEYBOARD;
        one.ki.wVk = vk;
        one.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
        input.push_back(one);
    };
    for (WORD modifier : modifiers) key(modifier, false);
    key(virtualKey, false);
    key(virtualKey, true);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) key(*it, true);
    return SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT)) == input.size();
}

bool PressWinKey(WORD virtualKey) { return PressKeys({VK_LWIN}, virtualKey); }

bool MovePointer(POINT screen) {
    // Absolute positions run from 0 to 65535 across the primary screen.
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return SendInput(1, &input, sizeof(INPUT)) == 1;
}

bool LeftButton(bool down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    return SendInput(1, &input, sizeof(INPUT)) == 1;
}

POINT CentreOf(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(window, &centre);
    return centre;
}

std::string HelpShownInConfigWindow() {
    // The help exists once the window was prepared for its first show.
    SendMessageW(gPlugin.ConfigWindow, kPrepareWindowMessage, 0, 0);
    std::string all;
    for (HWND help : gConfig.HelpTexts) {
        char text[2048] = {};
        GetWindowTextA(help, text, sizeof text);
        all.append("\r").append(text);
    }
    return all;
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find('\r', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool SameHelpUpToShortening(const std::string& shown, const std::string& full) {
    const std::vector<std::string> a = LinesOf(shown), b = LinesOf(full);
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const size_t dots = a[i].find("...");
        const bool shortened = dots != std::string::npos && a[i].size() < b[i].size() &&
                               b[i].compare(0, dots, a[i], 0, dots) == 0;
        if (a[i] != b[i] && !shortened) return false;
    }
    return true;
}

bool CombinationFree(const HotkeyEntry& combination) {
    if (!RegisterHotKey(ProbeWindow(), kProbeId, static_cast<UINT>(combination.Modifiers),
                        static_cast<UINT>(combination.VirtualKey))) {
        return false;
    }
    UnregisterHotKey(ProbeWindow(), kProbeId);
    return true;
}

}  // namespace vemo::test
