// A test with the plug-in loaded in this process against a fake player, its settings
// file in a fresh folder, and the module state reset afterwards.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

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
    // player fields, as the player fills them before init.
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
};

// Every change of the warning beep since the fixture started: true = on.
std::vector<bool>& BeepCalls();

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
