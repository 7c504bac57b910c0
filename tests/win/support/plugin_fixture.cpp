#include "support/plugin_fixture.h"

#include "config/tray_icon.h"
#include "plugin/lifecycle.h"
#include "popup/popup_window.h"
#include "win/module_state.h"
#include "win/outside_effects.h"

namespace vemo::test {

namespace {

std::vector<bool> gBeepCalls;

void RecordBeep(bool on) { gBeepCalls.push_back(on); }

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

void PluginTest::SetUp() {
    settingsPath_ = temp_.File("Plugin.ini");
    SetSettingsPathForTests(settingsPath_);
    gBeepCalls.clear();
    Effects().SetWarningBeep = RecordBeep;
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
    return record;
}

void PluginTest::LoadAndInit() { Load()->Init(); }

void PopupTest::SetUp() {
    PluginTest::SetUp();
    WriteSettingsFile("[Vemo Plugin]\r\nDisable vemos=1\r\n");
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

bool PressWinKey(WORD virtualKey) {
    // Arrows and the like are extended keys; without the flag they read as keypad keys.
    const bool extended = virtualKey >= VK_PRIOR && virtualKey <= VK_DELETE;
    const DWORD keyFlag = extended ? KEYEVENTF_EXTENDEDKEY : 0;
    const WORD keys[4] = {VK_LWIN, virtualKey, virtualKey, VK_LWIN};
    const DWORD flags[4] = {0, keyFlag, keyFlag | KEYEVENTF_KEYUP, KEYEVENTF_KEYUP};
    INPUT input[4] = {};
    for (int i = 0; i < 4; ++i) {
        input[i].type = INPUT_KEYBOARD;
        input[i].ki.wVk = keys[i];
        input[i].ki.dwFlags = flags[i];
    }
    return SendInput(4, input, sizeof(INPUT)) == 4;
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
