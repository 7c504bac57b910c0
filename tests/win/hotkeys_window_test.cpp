// The hotkeys window in a real window under Wine: opened from the configuration window,
// its rows and their states, changes through the editor, a pressed combination and the
// ready sets, and the keyboard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "actions/hotkeys.h"
#include "config/config_window.h"
#include "config/hotkeys_window.h"
#include "plugin/lifecycle.h"
#include "popup/popup_window.h"
#include "settings/hotkey_sets.h"
#include "settings/key_names.h"
#include "settings/settings_file.h"
#include "support/plugin_fixture.h"
#include "support/temp_dir.h"
#include "text/unicode.h"
#include "win/module_state.h"
#include "win/player_link.h"

namespace vemo::test {
namespace {

const HotkeyEntry kWinV{kModWin, 'V'};
const HotkeyEntry kCtrlAltF4{kModCtrl | kModAlt, VK_F4};
constexpr int32_t kNext = static_cast<int32_t>(HotkeyId::Next);

class HotkeysWindowTest : public PopupTest {
protected:
    HotkeysWindowState& W() { return gHotkeysWindow; }
    void Click(HWND button) {
        SendMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    }
    void Key(HWND control, WPARAM key) { SendMessageA(control, WM_KEYDOWN, key, 0); }
    void Select(int32_t id) {
        SendMessageA(W().List, LB_SETCURSEL, static_cast<WPARAM>(id - 1), 0);
        SendMessageA(W().Window, WM_COMMAND, MAKEWPARAM(200, LBN_SELCHANGE), reinterpret_cast<LPARAM>(W().List));
    }
    void PickKey(int32_t vk) {
        const LRESULT count = SendMessageA(W().KeyList, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            if (SendMessageA(W().KeyList, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == vk) {
                SendMessageA(W().KeyList, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
                SendMessageA(W().Window, WM_COMMAND, MAKEWPARAM(205, CBN_SELCHANGE), reinterpret_cast<LPARAM>(W().KeyList));
                return;
            }
        }
        ADD_FAILURE() << "no key " << vk << " in the list";
    }
    std::string Text(HWND control) {
        char text[512] = {};
        GetWindowTextA(control, text, sizeof text);
        return text;
    }
    std::string Help() { return HelpShownInConfigWindow(); }
    HotkeyTable Saved() {
        Settings saved = DefaultSettings();
        ReadSettings(settingsPath_, saved);
        return saved.Hotkeys;
    }
    int32_t SelectedRow() { return static_cast<int32_t>(SendMessageA(W().List, LB_GETCURSEL, 0, 0)) + 1; }
};

// The button below the controls opens the window with every action in its rows.
TEST_F(HotkeysWindowTest, ConfigurationWindowButtonOpensTheList) {
    ShowConfigWindowCentred();
    SendMessageA(gPlugin.ConfigWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(gConfig.HotkeysButton));
    ASSERT_TRUE(W().Window);
    EXPECT_TRUE(IsWindowVisible(W().Window));
    EXPECT_EQ(SendMessageA(W().List, LB_GETCOUNT, 0, 0), 35);
    EXPECT_EQ(SelectedRow(), 1);
    EXPECT_EQ(W().Editing, (HotkeyEntry{kModWin, 'Z'}));
    EXPECT_EQ(SendMessageA(W().KeyList, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(PickableKeys().size()));
    // The window and the names in its key list are wide: each name arrives whole.
    EXPECT_TRUE(IsWindowUnicode(W().Window));
    for (LRESULT i = 0; i < static_cast<LRESULT>(PickableKeys().size()); ++i) {
        const auto vk = static_cast<int32_t>(SendMessageW(W().KeyList, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
        const LRESULT length = SendMessageW(W().KeyList, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring name(static_cast<size_t>(length), L'\0');
        SendMessageW(W().KeyList, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name.data()));
        if (IsLayoutKey(vk)) {
            EXPECT_FALSE(name.empty()) << vk;
        } else {
            EXPECT_EQ(FromWide(name), KeyName(vk)) << vk;
        }
    }
    // Over the configuration window, at its size.
    RECT config{}, hotkeys{};
    GetWindowRect(gPlugin.ConfigWindow, &config);
    GetWindowRect(W().Window, &hotkeys);
    EXPECT_EQ(hotkeys.left, config.left);
    EXPECT_EQ(hotkeys.bottom - hotkeys.top, config.bottom - config.top);
}

// A double click on a line of any of the configuration window's help boxes opens the
// window at the action of that line; a note line or the gap below the lines opens nothing.
TEST_F(HotkeysWindowTest, DoubleClickOnAHelpLineOpensItsAction) {
    ShowConfigWindowCentred();
    int lineHeight = 0;
    {
        HDC dc = GetDC(gConfig.HelpTexts[0]);
        HGDIOBJ old = SelectObject(dc, gPlugin.Fonts.Text.Get());
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc, &metrics);
        lineHeight = metrics.tmHeight;
        SelectObject(dc, old);
        ReleaseDC(gConfig.HelpTexts[0], dc);
    }
    ASSERT_GT(lineHeight, 0);
    const struct {
        size_t Box;
        int Line;
        HotkeyId Opens;  // Unused: nothing opens
        bool Clicked;    // also with the mouse, when there is a display (a hide costs seconds)
    } cases[] = {
        {0, 3, HotkeyId::Next, true},     {0, 11, HotkeyId::MinMax, false},  {1, 3, HotkeyId::DecVol, true},
        {1, 0, HotkeyId::Repeat, false},  {2, 0, HotkeyId::ID3v1, false},    {2, 5, HotkeyId::MPEGInfo, true},
        {2, 15, HotkeyId::Quit, false},   {2, 16, HotkeyId::Unused, false},  {1, 7, HotkeyId::Unused, false},
    };
    const bool mouse = std::getenv("DISPLAY") != nullptr;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.Box) + " " + std::to_string(c.Line));
        if (W().Window) ShowWindow(W().Window, SW_HIDE);
        POINT at{20, c.Line * lineHeight + lineHeight / 2};
        MapWindowPoints(gConfig.HelpTexts[c.Box], gPlugin.ConfigWindow, &at, 1);
        SendMessageA(gPlugin.ConfigWindow, WM_LBUTTONDBLCLK, 0, MAKELPARAM(at.x, at.y));
        const bool opened = W().Window && IsWindowVisible(W().Window);
        EXPECT_EQ(opened, c.Opens != HotkeyId::Unused);
        if (opened) {
            EXPECT_EQ(SelectedRow(), static_cast<int32_t>(c.Opens));
        }
        if (!mouse || !opened || !c.Clicked) continue;
        // The same through real clicks: the statics let the mouse through to the window.
        ShowWindow(W().Window, SW_HIDE);
        ClientToScreen(gPlugin.ConfigWindow, &at);
        ASSERT_TRUE(MovePointer(at));
        for (int click = 0; click < 2; ++click) ASSERT_TRUE(LeftButton(true) && LeftButton(false));
        ASSERT_TRUE(PumpUntil([&] { return W().Window && IsWindowVisible(W().Window); }));
        EXPECT_EQ(SelectedRow(), static_cast<int32_t>(c.Opens));
        PumpUntil([] { return false; }, GetDoubleClickTime() + 50);  // the next click is a new one
    }
}

// A row's state column names what became of its combination.
TEST_F(HotkeysWindowTest, StateColumnSaysWhatBecameOfEachCombination) {
    OpenHotkeysWindow(1);
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 1, MOD_CONTROL | MOD_ALT, VK_F9));
    const struct {
        HotkeyId Id;
        HotkeyEntry Wanted;
        const char* State;
    } cases[] = {
        {HotkeyId::Next, kCtrlAltF4, "held"},
        {HotkeyId::Prev, {}, "none"},
        {HotkeyId::StopTrack, kCtrlAltF4, "kept (Ctrl+Alt+F4: also used by \"Next track\")"},
        {HotkeyId::Shuffle, {kModCtrl | kModAlt, VK_F9}, "kept (Ctrl+Alt+F9: taken by another program)"},
        {HotkeyId::Repeat, {kModShift, 'R'}, "kept (Shift+R: not registered: needs Win, Ctrl or Alt)"},
    };
    for (const auto& c : cases) {
        const int32_t id = static_cast<int32_t>(c.Id);
        Select(id);
        W().Editing = c.Wanted;
        if (c.Wanted == HotkeyEntry{}) {
            Click(W().NoneButton);
        } else {
            TakePressedCombination(c.Wanted);  // nothing waits: no change
            WaitForCombination(id);
            TakePressedCombination(c.Wanted);
        }
        EXPECT_EQ(HotkeyStateText(id), c.State);
        EXPECT_EQ(Text(W().ResultLine).find(std::string(HotkeyActionName(c.Id)) + ": "), 0u) << Text(W().ResultLine);
    }
    // Taken by another program from the start, and nothing asked since.
    W().Tried = {};
    gSettings.Hotkeys[HotkeyId::Shuffle] = {kModCtrl | kModAlt, VK_F9};
    UnregisterAllHotkeys();
    RegisterAllHotkeys();
    EXPECT_EQ(HotkeyStateText(static_cast<int32_t>(HotkeyId::Shuffle)), "taken by another program");
    gSettings.Set(OptionId::Disabled, true);
    UnregisterAllHotkeys();
    EXPECT_EQ(HotkeyStateText(kNext), "not registered: the plug-in is disabled");
    UnregisterHotKey(other, 1);
    DestroyWindow(other);
}

// The editor: a modifier box and the key list each try the combination at once, None
// releases it; the configuration window's help follows.
TEST_F(HotkeysWindowTest, EditorChangesTheSelectedActionAtOnce) {
    OpenHotkeysWindow(kNext);
    EXPECT_EQ(SelectedRow(), kNext);
    Click(W().ModifierBoxes[1]);  // Ctrl
    EXPECT_EQ(gSettings.Hotkeys[kNext], (HotkeyEntry{kModWin | kModCtrl, 'V'}));
    EXPECT_EQ(HotkeyRegistration()[kNext].Hold, HotkeyHold::Held);
    EXPECT_TRUE(CombinationFree(kWinV));
    Click(W().ModifierBoxes[0]);  // Win off
    Click(W().ModifierBoxes[2]);  // Alt on
    PickKey(VK_F4);
    EXPECT_EQ(gSettings.Hotkeys[kNext], kCtrlAltF4);
    EXPECT_NE(Help().find("\rCtrl+Alt+F4 - Next track"), std::string::npos);
    EXPECT_NE(ReadAll(settingsPath_).find("\r\nNext=3 115"), std::string::npos) << "saved at once";
    Click(W().NoneButton);
    EXPECT_EQ(gSettings.Hotkeys[kNext], HotkeyEntry{});
    EXPECT_TRUE(CombinationFree(kCtrlAltF4));
    EXPECT_NE(Help().find("\rnone - Next track"), std::string::npos);
}

// Press keys: the row waits, and the next combination pressed is the one wanted; one of
// our own combinations is taken as pressed, not run.
TEST_F(HotkeysWindowTest, PressedCombinationIsTaken) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "keyboard input needs a display";
    OpenHotkeysWindow(kNext);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == W().Window; }));
    Click(W().PressButton);
    EXPECT_EQ(W().WaitingId, kNext);
    ASSERT_TRUE(PressKeys({VK_CONTROL, VK_MENU}, VK_F4));
    ASSERT_TRUE(PumpUntil([&] { return W().WaitingId == 0; }));
    EXPECT_EQ(gSettings.Hotkeys[kNext], kCtrlAltF4);
    EXPECT_EQ(HotkeyRegistration()[kNext].Hold, HotkeyHold::Held);

    Select(static_cast<int32_t>(HotkeyId::Prev));
    Key(W().List, VK_RETURN);
    EXPECT_EQ(W().WaitingId, static_cast<int32_t>(HotkeyId::Prev));
    player_.ClearMessages();
    ASSERT_TRUE(PressKeys({VK_CONTROL, VK_MENU}, VK_F4));
    ASSERT_TRUE(PumpUntil([&] { return W().WaitingId == 0; }));
    EXPECT_TRUE(player_.Commands().empty()) << "Next's combination was not run";
    EXPECT_EQ(HotkeyStateText(static_cast<int32_t>(HotkeyId::Prev)), "kept (Ctrl+Alt+F4: also used by \"Next track\")");
    EXPECT_EQ(gPopup.OnHotkey, &DispatchHotkey) << "the hotkeys go to their actions again";

    // Going elsewhere gives up waiting: the hotkeys work for their actions again.
    Click(W().PressButton);
    SetFocus(W().CloseButton);
    EXPECT_EQ(W().WaitingId, 0);
    EXPECT_EQ(gPopup.OnHotkey, &DispatchHotkey);

    // Esc alone gives up waiting and leaves the window open.
    Click(W().PressButton);
    ASSERT_TRUE(PressKeys({}, VK_ESCAPE));
    ASSERT_TRUE(PumpUntil([&] { return W().WaitingId == 0; }));
    EXPECT_TRUE(IsWindowVisible(W().Window));
    EXPECT_EQ(gSettings.Hotkeys[HotkeyId::Prev], (HotkeyEntry{kModWin, 'Z'}));
}

// Each ready set with another program holding two defaults: the line below the editor
// counts what is held and names what kept its old keys.
TEST_F(HotkeysWindowTest, ReadySetButtonsApplyAndReport) {
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    OpenHotkeysWindow(1);
    const struct {
        size_t Button;
        bool HoldDefaults;  // the other program takes Win+V and Win+S before the click
        const char* Result;
        const char* NextState;
    } cases[] = {
        {1, true, "No Win key: 28 of 35 held", "held"},
        {0, false, "Defaults: 33 of 35 held; kept the old keys of Next track, Shuffle toggle",
         "kept (Win+V: taken by another program)"},
        {2, false, "Media keys: 28 of 35 held", "held"},
    };
    for (const auto& c : cases) {
        Click(W().SetButtons[c.Button]);
        if (c.HoldDefaults) {
            // Only now that the set released them can the other program have them.
            ASSERT_TRUE(RegisterHotKey(other, 1, MOD_WIN, 'V'));
            ASSERT_TRUE(RegisterHotKey(other, 2, MOD_WIN, 'S'));
        }
        EXPECT_EQ(Text(W().ResultLine), c.Result);
        EXPECT_EQ(HotkeyStateText(kNext), c.NextState);
        EXPECT_EQ(Saved(), gSettings.Hotkeys);
    }
    EXPECT_EQ(gSettings.Hotkeys[kNext], (HotkeyEntry{0, VK_MEDIA_NEXT_TRACK}));
    UnregisterHotKey(other, 1);
    UnregisterHotKey(other, 2);
    DestroyWindow(other);
}

// Tab and the arrows walk the controls, Enter presses a button, Escape hides.
TEST_F(HotkeysWindowTest, KeyboardWalksTheControls) {
    OpenHotkeysWindow(1);
    SetFocus(W().List);
    Key(W().List, VK_TAB);
    EXPECT_EQ(GetFocus(), W().ModifierBoxes[0]);
    Key(W().ModifierBoxes[0], VK_RIGHT);
    Key(W().ModifierBoxes[1], VK_DOWN);
    EXPECT_EQ(GetFocus(), W().ModifierBoxes[2]);
    Key(W().ModifierBoxes[2], VK_LEFT);
    EXPECT_EQ(GetFocus(), W().ModifierBoxes[1]);
    SetFocus(W().CloseButton);
    Key(W().CloseButton, VK_TAB);
    EXPECT_EQ(GetFocus(), W().List) << "round to the list";
    Key(W().List, VK_LEFT);
    EXPECT_EQ(GetFocus(), W().CloseButton);
    SetFocus(W().ModifierBoxes[3]);
    Key(W().ModifierBoxes[3], VK_RETURN);
    EXPECT_EQ(gSettings.Hotkeys[HotkeyId::Prev], (HotkeyEntry{kModWin | kModShift, 'Z'})) << "Enter presses Shift";
    SetFocus(W().KeyList);
    SendMessageA(W().KeyList, CB_SHOWDROPDOWN, TRUE, 0);
    Key(W().KeyList, VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(W().Window)) << "Esc closes the open key list first";
    SendMessageA(W().KeyList, CB_SHOWDROPDOWN, FALSE, 0);
    Key(W().ModifierBoxes[3], VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(W().Window));
}

}  // namespace
}  // namespace vemo::test
