// A test with the plug-in loaded in this process against a fake player, its settings
// file in a fresh folder, and the module state reset afterwards.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/plugin_record.h"
#include "settings/hotkey_table.h"
#include "support/fake_player.h"
#include "support/temp_dir.h"

namespace vemo::test {

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The player's first call: the export (which sets the plug-in up), then the record's
    // player fields, as the player fills them before init, and the set-up init starts
    // with (settings, tray button, hotkeys), which needs them.
    GeneralPurposePlugin* Load();
    void LoadAndInit();
    void WriteSettingsFile(std::string_view content);

    TempDir temp_;
    std::string settingsPath_;
    FakePlayer player_{true};
};

// The plug-in loaded and initialised, its popups hidden and none of its timers running
// but the live track display's, as between two actions. The version popup of init is
// kept from being shown, since hiding a shown window costs seconds under Wine.
class PopupTest : public PluginTest {
protected:
    void SetUp() override;
    // Lines of the settings section the plug-in starts with, besides "Disable vemos=1".
    std::string startSettings_;
};

// Every change of the warning beep since the fixture started: true = on. The beep is
// on as far as the plug-in can tell unless a test says otherwise.
std::vector<bool>& BeepCalls();
void SetBeepFoundOn(bool on);

// Every message box the plug-in showed since the fixture started (none is shown: each is
// answered with OK at once).
struct ShownBox {
    HWND Owner;
    std::string Text;
    std::string Caption;
    UINT Type;
};
std::vector<ShownBox>& ShownBoxes();

// Stops a timer and says whether it was running.
bool TakeTimer(HWND window, UINT_PTR id);
// Stops a timer of MainPopup and gives the period it was started with; 0 when it was
// not running.
UINT TakeTimerPeriod(UINT_PTR id);

// True when the combination can be had: registering it from another window succeeds.
// (It is released again at once.)
bool CombinationFree(const HotkeyEntry& combination);

// Presses Win+key through the system's input queue (the way a user does), so the
// combination travels the whole road to WM_HOTKEY. False when the input was refused.
bool PressWinKey(WORD virtualKey);
// The same for any combination: the modifier keys (VK_LWIN, VK_CONTROL, VK_MENU,
// VK_SHIFT) go down in order, the key goes down and up, the modifiers up again.
bool PressKeys(std::initializer_list<WORD> modifiers, WORD virtualKey);

// The pointer to a point of the screen, and the left button down or up there, through
// the system's input queue.
bool MovePointer(POINT screen);
bool LeftButton(bool down);
// The middle of a window's client area on the screen.
POINT CentreOf(HWND window);
// What the configuration window's help boxes show, each box's text led by a carriage
// return, as HotkeyHelpText gives the whole help; the window's controls are made first
// if they were not.
std::string HelpShownInConfigWindow();
// What the player's message loop does first after its start: the plug-in's messages
// posted to itself at load (the tray button's add). Load() calls it.
void DeliverStartMessages();
// A text's lines, cut at each carriage return, as the help and the statics hold them.
std::vector<std::string> LinesOf(const std::string& text);
// Whether a help text shows the lines of another, line by line, each whole or with the
// end of its action's name given up for "..." (where the box is too narrow for it).
bool SameHelpUpToShortening(const std::string& shown, const std::string& full);

// Delivers the messages waiting for this thread until done() holds or the time is up.
template <typename Done>
bool PumpUntil(Done done, DWORD timeoutMs = 2000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
    return true;
}

}  // namespace vemo::test
