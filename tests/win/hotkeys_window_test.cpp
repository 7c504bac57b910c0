// The hotkeys window in a real window under Wine: opened from the configuration window,
// its rows and their states, changes through the editor, a pressed combination and the
// ready sets, and the keyboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "actions/hotkeys.h"
#include "config/config_window.h"
#include "config/hotkeys_texts.h"
#include "config/hotkeys_window.h"
#include "plugin/lifecycle.h"
#include "popup/popup_window.h"
#include "settings/hotkey_sets.h"
#include "settings/key_names.h"
#include "settings/settings_file.h"
#include "support/plugin_fixture.h"
#include "support/temp_dir.h"
#include "text/unicode.h"
#include "win/config_placement.h"
#include "win/dpi_scale.h"
#include "win/module_state.h"
#include "win/player_link.h"
#include "win/scoped_win.h"

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
    // The arrows over the closed key list: the key is only edited in.
    void ArrowToKey(int32_t vk) {
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
    // The key chosen: reached with the arrows, then Enter.
    void PickKey(int32_t vk) {
        ArrowToKey(vk);
        Key(W().KeyList, VK_RETURN);
    }
    // A key pressed while the modifiers are held, posted as the system delivers it.
    void PostKey(HWND control, int32_t modifiers, WPARAM vk, bool repeat = false) {
        BYTE state[256] = {};
        const struct {
            int32_t Bit;
            int Key;
        } held[] = {{kModWin, VK_LWIN}, {kModCtrl, VK_CONTROL}, {kModAlt, VK_MENU}, {kModShift, VK_SHIFT}};
        for (const auto& h : held) {
            if (modifiers & h.Bit) state[h.Key] = 0x80;
        }
        SetKeyboardState(state);
        const bool system = (modifiers & kModAlt) || vk == VK_F10;
        const LPARAM lParam = 1 | (repeat ? LPARAM{1} << 30 : 0);
        PostMessageA(control, system ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, lParam);
        PumpUntil([] { return false; }, 30);
        BYTE none[256] = {};
        SetKeyboardState(none);
    }
    std::string SavedText() { return ReadAll(settingsPath_); }
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
        HGDIOBJ old = SelectObject(dc, gPlugin.Fonts.At(kBaseDpi).Text.Get());
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
        {HotkeyId::Repeat, {kModWin | kModShift, 'R'}, "held"},
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
        // The column cuts long states; selecting the row shows the whole of it.
        Select(kNext);
        Select(id);
        EXPECT_EQ(Text(W().ResultLine), std::string(HotkeyActionName(c.Id)) + ": " +
                                            CombinationText(gSettings.Hotkeys[id]) + ": " + c.State);
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

// The editor: the boxes and the arrows over the key list only edit, and say why a
// combination would be refused; a key chosen applies a combination that may be taken,
// and None releases it; the configuration window's help follows.
TEST_F(HotkeysWindowTest, EditorAppliesOnlyAWholeSafeCombination) {
    OpenHotkeysWindow(kNext);
    EXPECT_EQ(SelectedRow(), kNext);
    const std::string before = SavedText();
    const struct {
        int Box;       // clicked, or -1
        int32_t Key;   // arrowed to over the closed list, or 0
        HotkeyEntry Editing;
        const char* Result;
    } steps[] = {
        {0, 0, {0, 'V'}, "V not taken: a key alone"},
        {1, 0, {kModCtrl, 'V'}, "Ctrl+V not taken: every program uses it"},
        {2, 0, {kModCtrl | kModAlt, 'V'}, "Ctrl+Alt+V not taken: Ctrl+Alt is AltGr"},
        {3, 0, {kModCtrl | kModAlt | kModShift, 'V'}, "Ctrl+Alt+Shift+V not taken: Ctrl+Alt is AltGr"},
        {-1, VK_DELETE, {kModCtrl | kModAlt | kModShift, VK_DELETE}, "Ctrl+Alt+Shift+Delete not taken: the system's"},
        {3, 0, {kModCtrl | kModAlt, VK_DELETE}, "Ctrl+Alt+Delete not taken: the system's own"},
        {-1, VK_F4, kCtrlAltF4, "Ctrl+Alt+F4: choose the key"},
    };
    for (const auto& step : steps) {
        if (step.Box >= 0) Click(W().ModifierBoxes[static_cast<size_t>(step.Box)]);
        if (step.Key) ArrowToKey(step.Key);
        SCOPED_TRACE(CombinationText(step.Editing));
        EXPECT_EQ(W().Editing, step.Editing);
        EXPECT_EQ(Text(W().ResultLine).find(step.Result), 0u) << Text(W().ResultLine);
        // Nothing half-made is registered or saved on the way.
        EXPECT_EQ(gSettings.Hotkeys[kNext], kWinV);
        EXPECT_EQ(HotkeyRegistration()[kNext].Hold, HotkeyHold::Held);
        if (step.Editing.VirtualKey != VK_DELETE) {
            EXPECT_TRUE(CombinationFree(step.Editing));
        }
        EXPECT_EQ(SavedText(), before);
    }
    // Enter on a refused key changes nothing; on a key that may be taken, it applies.
    Click(W().ModifierBoxes[2]);  // Alt off: Ctrl+F4
    ArrowToKey('C');
    Key(W().KeyList, VK_RETURN);
    EXPECT_EQ(Text(W().ResultLine).find("Ctrl+C not taken"), 0u) << Text(W().ResultLine);
    EXPECT_EQ(gSettings.Hotkeys[kNext], kWinV);
    Click(W().ModifierBoxes[2]);  // Alt on
    PickKey(VK_F4);
    EXPECT_EQ(gSettings.Hotkeys[kNext], kCtrlAltF4);
    EXPECT_NE(Help().find("\rCtrl+Alt+F4 - Next track"), std::string::npos);
    EXPECT_NE(ReadAll(settingsPath_).find("\r\nNext=3 115"), std::string::npos) << "saved at once";
    // In the open list the arrows only move; the key the list closes on is chosen.
    SendMessageA(W().KeyList, CB_SHOWDROPDOWN, TRUE, 0);
    ArrowToKey(VK_F6);
    EXPECT_EQ(gSettings.Hotkeys[kNext], kCtrlAltF4);
    SendMessageA(W().Window, WM_COMMAND, MAKEWPARAM(205, CBN_SELENDOK), reinterpret_cast<LPARAM>(W().KeyList));
    SendMessageA(W().KeyList, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ(gSettings.Hotkeys[kNext], (HotkeyEntry{kModCtrl | kModAlt, VK_F6}));
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
    ASSERT_TRUE(PumpUntil([&] { return W().WaitingId == 0 && W().PendingId == 0; }));
    EXPECT_EQ(gSettings.Hotkeys[kNext], kCtrlAltF4);
    EXPECT_EQ(HotkeyRegistration()[kNext].Hold, HotkeyHold::Held);

    Select(static_cast<int32_t>(HotkeyId::Prev));
    Key(W().List, VK_RETURN);
    EXPECT_EQ(W().WaitingId, static_cast<int32_t>(HotkeyId::Prev));
    player_.ClearMessages();
    ASSERT_TRUE(PressKeys({VK_CONTROL, VK_MENU}, VK_F4));
    ASSERT_TRUE(PumpUntil([&] { return W().WaitingId == 0 && W().PendingId == 0; }));
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

// Each class of key pressed while a row waits, as the system delivers it (Alt and F10
// as system keys): the keys that move through the window end the wait and do their
// work, a refused combination is not taken and the window says why, a held key's
// repeats are no new press. Nothing refused is registered or saved.
TEST_F(HotkeysWindowTest, CaptureTakesOnlyAWholeSafeCombination) {
    OpenHotkeysWindow(kNext);
    enum Outcome { Taken, Refused, Ended, StillWaiting };
    const struct {
        int32_t Modifiers;
        WPARAM Key;
        bool Repeat;
        Outcome Then;
        const char* Result;  // the start of the line below the editor
    } cases[] = {
        // Moving through the window.
        {0, VK_DOWN, false, Ended, "Volume up: Win+Up: held"},
        {0, VK_UP, false, Ended, "Stop track: Win+C: held"},
        {0, VK_TAB, false, Ended, ""},
        {kModShift, VK_TAB, false, Ended, ""},
        {0, VK_RETURN, false, Ended, "Next track: Win+V: held"},
        {0, VK_ESCAPE, false, Ended, "Next track: Win+V: held"},
        // Bare typing, and keys programs rely on.
        {0, 'A', false, Refused, "A not taken: a key alone"},
        {0, VK_SPACE, false, Refused, "Space not taken: a key alone"},
        {0, VK_F10, false, Refused, "F10 not taken: a key alone"},
        {0, VK_CAPITAL, false, Refused, "Key 0x14 not taken: a key alone"},
        {0, VK_PRIOR, false, Refused, "Page Up not taken: a key alone"},
        {kModShift, 'A', false, Refused, "Shift+A not taken: Shift with it"},
        {kModShift, VK_END, false, Refused, "Shift+End not taken: Shift with it"},
        // AltGr.
        {kModCtrl | kModAlt, 'E', false, Refused, "Ctrl+Alt+E not taken: Ctrl+Alt is AltGr"},
        {kModCtrl | kModAlt | kModShift, VK_OEM_4, false, Refused, "Ctrl+Alt+Shift+[ not taken: Ctrl+Alt is AltGr"},
        // What every program uses.
        {kModCtrl, 'C', false, Refused, "Ctrl+C not taken: every program uses it"},
        {kModAlt, VK_F4, false, Refused, "Alt+F4 not taken: every program uses it"},
        {kModCtrl | kModShift, VK_ESCAPE, false, Refused, "Ctrl+Shift+Esc not taken: every program uses it"},
        // A held key's repeats.
        {kModCtrl | kModAlt, VK_F4, true, StillWaiting, "Next track: Win+V: held"},
        {0, VK_DOWN, true, StillWaiting, "Next track: Win+V: held"},
        {0, VK_CONTROL, false, StillWaiting, "Next track: Win+V: held"},
        // Keys that may be taken.
        {0, VK_MEDIA_NEXT_TRACK, false, Taken, "Next track: Next: held"},
        {kModCtrl | kModAlt, VK_F4, false, Taken, "Next track: Ctrl+Alt+F4: held"},
        {kModWin, VK_DOWN, false, Taken, "Next track: kept (Win+Down: also used by \"Volume down\")"},
    };
    for (const auto& c : cases) {
        const HotkeyEntry pressed{c.Modifiers, static_cast<int32_t>(c.Key)};
        SCOPED_TRACE(CombinationText(pressed) + (c.Repeat ? " repeated" : ""));
        ChangeHotkey(kNext, kWinV);
        const std::string before = SavedText();
        W().Tried = {};
        Select(kNext);
        SetFocus(W().List);
        WaitForCombination(kNext);
        PostKey(W().List, c.Modifiers, c.Key, c.Repeat);
        EXPECT_EQ(Text(W().ResultLine).find(c.Result), 0u) << Text(W().ResultLine);
        EXPECT_EQ(W().WaitingId, c.Then == StillWaiting ? kNext : 0);
        EXPECT_EQ(gSettings.Hotkeys[kNext], c.Then == Taken && c.Modifiers != kModWin ? pressed : kWinV);
        if (c.Then == Taken) continue;
        EXPECT_EQ(HotkeyRegistration()[kNext].Hold, HotkeyHold::Held);
        EXPECT_EQ(SavedText(), before);
        EXPECT_TRUE(IsWindowVisible(W().Window));
        // Tab and Down went on to move; Esc and Enter were used up.
        if (c.Key == VK_TAB && !c.Modifiers) {
            EXPECT_EQ(GetFocus(), W().ModifierBoxes[0]);
        }
        if (c.Key == VK_TAB && c.Modifiers) {
            EXPECT_EQ(GetFocus(), W().CloseButton);
        }
        if (c.Key == VK_DOWN && !c.Repeat) {
            EXPECT_EQ(SelectedRow(), kNext + 1);
        }
        if (c.Key == VK_UP) {
            EXPECT_EQ(SelectedRow(), kNext - 1);
        }
        if (c.Key == VK_RETURN) {
            EXPECT_EQ(SelectedRow(), kNext);
        }
        if (W().WaitingId) PostKey(W().List, 0, VK_ESCAPE);
    }
}

// A pressed combination is registered only once all its keys are up: registered while
// they are down, the keyboard's first repeat would run the action at once. (The keys are
// held in a table: under Wine the keyboard's state does not follow keys sent as input.)
bool gHeld[256] = {};
bool HeldInTable(int32_t vk) { return vk >= 0 && vk < 256 && gHeld[vk]; }

TEST_F(HotkeysWindowTest, PressedCombinationAppliesOnlyOnceReleased) {
    OpenHotkeysWindow(kNext);
    W().KeyIsDown = HeldInTable;
    const struct {
        int32_t Modifiers;
        WPARAM Key;
        std::vector<int> ReleasedFirst;  // keys let go before the last one
        std::vector<int> ReleasedLast;
    } cases[] = {
        {kModCtrl | kModAlt, VK_F4, {VK_F4, VK_CONTROL}, {VK_MENU}},
        {kModCtrl | kModAlt, VK_F4, {VK_CONTROL, VK_MENU}, {VK_F4}},
        {kModWin | kModShift, 'B', {'B', VK_SHIFT}, {VK_RWIN}},  // either Win key holds it
        {0, VK_MEDIA_NEXT_TRACK, {}, {VK_MEDIA_NEXT_TRACK}},
    };
    for (const auto& c : cases) {
        const HotkeyEntry pressed{c.Modifiers, static_cast<int32_t>(c.Key)};
        SCOPED_TRACE(CombinationText(pressed));
        std::fill(std::begin(gHeld), std::end(gHeld), false);
        for (int vk : c.ReleasedFirst) gHeld[vk] = true;
        for (int vk : c.ReleasedLast) gHeld[vk] = true;
        ChangeHotkey(kNext, kWinV);
        WaitForCombination(kNext);
        PostKey(W().List, c.Modifiers, c.Key);
        EXPECT_EQ(W().PendingId, kNext);
        EXPECT_EQ(Text(W().ResultLine), CombinationText(pressed) + ": release the keys to apply");
        for (int vk : c.ReleasedFirst) gHeld[vk] = false;
        PumpUntil([] { return false; }, 120);
        EXPECT_EQ(gSettings.Hotkeys[kNext], kWinV);
        EXPECT_TRUE(CombinationFree(pressed)) << "not registered while a key of it is down";
        for (int vk : c.ReleasedLast) gHeld[vk] = false;
        ASSERT_TRUE(PumpUntil([&] { return W().PendingId == 0; }, 500));
        EXPECT_EQ(gSettings.Hotkeys[kNext], pressed);
        EXPECT_EQ(HotkeyRegistration()[kNext].Hold, HotkeyHold::Held);
    }
}

// Waiting a second time (the row double-clicked, or Enter on it, while it waits) must
// not lend the waiting handler to itself: after the wait is cancelled, a hotkey runs
// its action again.
TEST_F(HotkeysWindowTest, SecondWaitKeepsTheHotkeysWorkingAfterCancel) {
    OpenHotkeysWindow(kNext);
    SetFocus(W().List);
    WaitForCombination(kNext);
    SendMessageA(W().Window, WM_COMMAND, MAKEWPARAM(200, LBN_DBLCLK), reinterpret_cast<LPARAM>(W().List));
    WaitForCombination(kNext);
    EXPECT_EQ(W().WaitingId, kNext);
    PostKey(W().List, 0, VK_ESCAPE);
    EXPECT_EQ(W().WaitingId, 0);
    player_.ClearMessages();
    SendMessageA(gPlugin.MainPopup, WM_HOTKEY, static_cast<WPARAM>(kNext), 0);
    EXPECT_FALSE(player_.Commands().empty()) << "Next's hotkey runs its action again";
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
        {1, true, "No Win key: 28 of 28 held, 7 without a key", "held"},
        {0, false, "Defaults: 33 of 35 held; kept the old keys of Next track, Shuffle toggle",
         "kept (Win+V: taken by another program)"},
        {2, false, "Media keys: 28 of 28 held, 7 without a key", "held"},
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
    EXPECT_EQ(W().Editing, (HotkeyEntry{kModWin | kModShift, 'Z'})) << "Enter presses Shift";
    EXPECT_EQ(gSettings.Hotkeys[HotkeyId::Prev], (HotkeyEntry{kModWin, 'Z'})) << "a box only edits";
    SetFocus(W().KeyList);
    SendMessageA(W().KeyList, CB_SHOWDROPDOWN, TRUE, 0);
    Key(W().KeyList, VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(W().Window)) << "Esc closes the open key list first";
    SendMessageA(W().KeyList, CB_SHOWDROPDOWN, FALSE, 0);
    Key(W().ModifierBoxes[3], VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(W().Window));
}

// ---- at every scale ----

// A control's rectangle in the window's client area.
RECT ClientRectOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE OuterSize(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// Comparable and printable: left, top, right, bottom.
std::array<LONG, 4> Edges(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// The extent of a text in a font, as a control would draw it.
SIZE Measured(HFONT font, const std::string& text) {
    ScopedGetDC screen(nullptr);
    ScopedSelectObject select(screen.Get(), font);
    const std::wstring wide = ToWide(text);
    SIZE size{};
    GetTextExtentPoint32W(screen.Get(), wide.c_str(), static_cast<int>(wide.size()), &size);
    return size;
}

int FontHeight(HFONT font) {
    ScopedGetDC screen(nullptr);
    ScopedSelectObject select(screen.Get(), font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.Get(), &metrics);
    return metrics.tmHeight;
}

HFONT FontOf(HWND control) { return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)); }

// Every state a row can show whole (a "kept (...)" state may be cut: the line below
// the editor shows it).
std::vector<std::string> WholeStates() {
    std::vector<std::string> states = {"held", "none", "taken by another program", "not registered",
                                       "not registered: needs Win, Ctrl or Alt",
                                       "not registered: the plug-in is disabled",
                                       "not registered: refused by Windows (error 1409)"};
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        states.push_back("also used by \"" + std::string(HotkeyActionName(static_cast<HotkeyId>(id))) + "\"");
    }
    return states;
}

// The longest combination a row may show: every modifier and the longest key name.
std::string LongestCombination(HFONT font) {
    std::string longest;
    for (const NamedKey& key : PickableKeys()) {
        const std::string text = CombinationText({kModWin | kModCtrl | kModAlt | kModShift, key.VirtualKey});
        if (Measured(font, text).cx > Measured(font, longest).cx) longest = text;
    }
    return longest;
}

struct ScaleCase {
    int Dpi;
    SIZE Window;  // without the small caption
    RECT List, Close, FirstSet, ShiftBox;
    int RowHeight;
};

void PrintTo(const ScaleCase& c, std::ostream* out) { *out << c.Dpi << " DPI"; }

// Every window taken to be at the DPI a test sets, and at the system's again after it.
class HotkeysAtDpiTest : public HotkeysWindowTest {
protected:
    void TearDown() override {
        SetDpiForTests(0);
        HotkeysWindowTest::TearDown();
    }
};

class HotkeysScaleTest : public HotkeysAtDpiTest, public ::testing::WithParamInterface<ScaleCase> {
protected:
    // The text fits the rectangle, in width and height.
    static void ExpectFits(HFONT font, const std::string& text, int width, int height) {
        const SIZE size = Measured(font, text);
        EXPECT_LE(size.cx, width) << '"' << text << '"';
        EXPECT_LE(size.cy, height) << '"' << text << '"';
    }
};

// Made at a DPI, the window has the configuration window's size at it, the controls
// their 96-DPI places scaled, the rows room for the font, and no text the user must
// read whole is cut.
TEST_P(HotkeysScaleTest, WindowAndControlsFollowTheDpi) {
    const ScaleCase& c = GetParam();
    SetDpiForTests(c.Dpi);
    OpenHotkeysWindow(1);
    ASSERT_TRUE(W().Window);
    const SIZE size = OuterSize(W().Window);
    EXPECT_EQ(size.cx, c.Window.cx);
    EXPECT_EQ(size.cy, c.Window.cy + SystemMetricAt(SM_CYSMCAPTION, c.Dpi));
    EXPECT_EQ(Edges(ClientRectOf(W().List)), Edges(c.List));
    EXPECT_EQ(Edges(ClientRectOf(W().CloseButton)), Edges(c.Close));
    EXPECT_EQ(Edges(ClientRectOf(W().SetButtons[0])), Edges(c.FirstSet));
    EXPECT_EQ(Edges(ClientRectOf(W().ModifierBoxes[3])), Edges(c.ShiftBox));
    RECT region{};
    ASSERT_NE(GetWindowRgnBox(W().Window, &region), ERROR);
    EXPECT_EQ(Edges(region), Edges({0, 0, size.cx, size.cy}));

    const FontSet& fonts = gPlugin.Fonts.At(c.Dpi);
    const HFONT listFont = FontOf(W().List);
    EXPECT_EQ(listFont, fonts.Text.Get());
    EXPECT_EQ(SendMessageW(W().List, LB_GETITEMHEIGHT, 0, 0), c.RowHeight);
    EXPECT_GE(c.RowHeight, FontHeight(listFont)) << "letters cut at the row's foot";

    // Each text has room where the row puts it: in its column, or on a second line.
    RECT line{};
    ASSERT_NE(SendMessageW(W().List, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&line)), LB_ERR);
    ScopedGetDC dc(W().List);
    ScopedSelectObject select(dc.Get(), listFont);
    const auto expectRoom = [&](std::string_view action, std::string_view combination, std::string_view state) {
        const HotkeyRowPlaces places = PlaceHotkeyRow(dc.Get(), line, c.Dpi, {action, combination, state});
        const std::string_view texts[] = {action, combination, state};
        for (size_t i = 0; i < kHotkeyColumnCount; ++i) {
            const RECT& r = places.Texts[i];
            ExpectFits(listFont, std::string(texts[i]), r.right - r.left, r.bottom - r.top);
            EXPECT_LE(r.bottom, line.top + (places.TwoLines ? 2 : 1) * c.RowHeight) << texts[i];
        }
        for (size_t i = 0; i < kHotkeyColumnCount; ++i) {
            for (size_t j = i + 1; j < kHotkeyColumnCount; ++j) {
                RECT both{};
                EXPECT_FALSE(IntersectRect(&both, &places.Texts[i], &places.Texts[j])) << texts[i] << " over " << texts[j];
            }
        }
    };
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        expectRoom(HotkeyActionName(static_cast<HotkeyId>(id)), "Win+V", "held");
    }
    expectRoom("Next track", LongestCombination(listFont), "held");
    for (const std::string& state : WholeStates()) expectRoom("Next track", "Win+V", state);
    // The prompt of a waiting row has the combination's and the state's columns.
    const HotkeyRowPlaces usual = PlaceHotkeyRow(dc.Get(), line, c.Dpi, {"Next track", "Win+V", "held"});
    EXPECT_FALSE(usual.TwoLines);
    ExpectFits(listFont, kWaitingText, usual.Texts[2].right - usual.Texts[1].left, c.RowHeight);

    // The buttons' names inside their focus edge (4 in from the button's edge).
    const int focusInset = 2 * ScaleToDpi(4, c.Dpi);
    std::vector<HWND> buttons{W().PressButton, W().NoneButton, W().CloseButton};
    buttons.insert(buttons.end(), W().SetButtons.begin(), W().SetButtons.end());
    for (HWND button : buttons) {
        const RECT r = ClientRectOf(button);
        ExpectFits(fonts.Bold.Get(), Text(button), r.right - r.left - focusInset, r.bottom - r.top - focusInset);
    }
    for (HWND box : W().ModifierBoxes) {
        RECT client{};
        GetClientRect(box, &client);
        const RECT label = ModifierBoxLabel(client, c.Dpi);
        ExpectFits(fonts.Bold.Get(), Text(box), label.right - label.left, label.bottom - label.top);
    }
    const RECT sets = ClientRectOf(W().SetsLabel);
    ExpectFits(FontOf(W().SetsLabel), Text(W().SetsLabel), sets.right - sets.left, sets.bottom - sets.top);

    // The line below the editor holds a long kept state whole, on as many lines as it needs.
    const std::wstring longest = ToWide("Move file to a specified folder: Win+Ctrl+Shift+Volume Down: kept "
                                        "(Win+Ctrl+Shift+Volume Down: also used by \"Copy file to a specified folder\")");
    const RECT result = ClientRectOf(W().ResultLine);
    RECT needed{0, 0, result.right - result.left, 0};
    {
        ScopedGetDC screen(nullptr);
        ScopedSelectObject resultFont(screen.Get(), FontOf(W().ResultLine));
        DrawTextW(screen.Get(), longest.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    }
    EXPECT_LE(needed.right, result.right - result.left);
    EXPECT_LE(needed.bottom, result.bottom - result.top);

    // A row whose state needs the second line has its height; the others keep one line.
    const int32_t rename = static_cast<int32_t>(HotkeyId::RenameFile);
    WaitForCombination(rename);
    TakePressedCombination(kWinV);
    ASSERT_EQ(HotkeyStateText(rename), "kept (Win+V: also used by \"Next track\")");
    EXPECT_EQ(SendMessageW(W().List, LB_GETITEMHEIGHT, static_cast<WPARAM>(rename - 1), 0), 2 * c.RowHeight);
    EXPECT_EQ(SendMessageW(W().List, LB_GETITEMHEIGHT, static_cast<WPARAM>(kNext - 1), 0), c.RowHeight);
}

INSTANTIATE_TEST_SUITE_P(
    Dpi, HotkeysScaleTest,
    ::testing::Values(
        ScaleCase{96, {464, 522}, {6, 4, 458, 322}, {372, 453, 452, 478}, {10, 420, 120, 445}, {184, 334, 238, 351}, 14},
        ScaleCase{120, {580, 653}, {8, 5, 573, 403}, {465, 566, 565, 597}, {13, 525, 151, 556}, {230, 418, 298, 439}, 18},
        ScaleCase{144, {696, 783}, {9, 6, 687, 483}, {558, 680, 678, 718}, {15, 630, 180, 668}, {276, 501, 357, 527}, 21},
        ScaleCase{192, {928, 1044}, {12, 8, 916, 644}, {744, 906, 904, 956}, {20, 840, 240, 890}, {368, 668, 476, 702},
                  28}),
    [](const auto& test) { return std::to_string(test.param.Dpi); });

// Moved to a monitor at 150 %: the controls, their fonts, the rows and the window take
// the new scale, at the top left the system suggests.
TEST_F(HotkeysAtDpiTest, DpiChangeLaysTheWindowOutAgain) {
    SetDpiForTests(kBaseDpi);
    OpenHotkeysWindow(1);
    ASSERT_EQ(SendMessageW(W().List, LB_GETITEMHEIGHT, 0, 0), 14);
    SetDpiForTests(144);
    const SIZE size = ConfigWindowSize(144);
    RECT suggested{40, 30, 40 + size.cx, 30 + size.cy};
    SendMessageW(W().Window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT window{};
    GetWindowRect(W().Window, &window);
    EXPECT_EQ(Edges(window), Edges(suggested));
    EXPECT_EQ(Edges(ClientRectOf(W().List)), Edges({9, 6, 687, 483}));
    EXPECT_EQ(Edges(ClientRectOf(W().CloseButton)), Edges({558, 680, 678, 718}));
    EXPECT_EQ(SendMessageW(W().List, LB_GETITEMHEIGHT, 0, 0), 21);
    EXPECT_EQ(FontOf(W().List), gPlugin.Fonts.At(144).Text.Get());
    EXPECT_EQ(FontOf(W().SetsLabel), gPlugin.Fonts.At(144).Bold.Get());
    RECT region{};
    ASSERT_NE(GetWindowRgnBox(W().Window, &region), ERROR);
    EXPECT_EQ(Edges(region), Edges({0, 0, size.cx, size.cy}));
    // Changed while the window was hidden: laid out anew when it opens again.
    Click(W().CloseButton);
    SetDpiForTests(120);
    OpenHotkeysWindow(1);
    EXPECT_EQ(Edges(ClientRectOf(W().List)), Edges({8, 5, 573, 403}));
    EXPECT_EQ(OuterSize(W().Window).cx, 580);
}

}  // namespace
}  // namespace vemo::test
