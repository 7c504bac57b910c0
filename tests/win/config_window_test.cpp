// The configuration window in a real window under Wine: its region, every control read
// back from the system, the option flip, the immediate effects of two options, hover
// hints, the keyboard, the folder field, and the options written at quit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "actions/hotkeys.h"
#include "config/config_draw.h"
#include "config/config_window.h"
#include "config/tray_icon.h"
#include "plugin/lifecycle.h"
#include "popup/popup_window.h"
#include "settings/hotkey_table.h"
#include "support/plugin_fixture.h"
#include "text/unicode.h"
#include "win/module_state.h"
#include "win/outside_effects.h"
#include "win/player_link.h"

namespace vemo::test {
namespace {

// The window prepared as for its first show (its controls made), not shown.
class ConfigWindowTest : public PopupTest {
protected:
    void SetUp() override {
        PopupTest::SetUp();
        SendMessageW(Window(), kPrepareWindowMessage, 0, 0);
    }
    void TearDown() override {
        PopupTest::TearDown();
        SetDpiForTests(0);
    }
    HWND Window() const { return gPlugin.ConfigWindow; }
    HWND Box(size_t row) const { return gConfig.CheckBoxes[row]; }

    // What the button control sends its parent while it is drawn in a state.
    void Draw(HWND control, UINT state) {
        HDC dc = GetDC(control);
        DrawInto(dc, control, state);
        ReleaseDC(control, dc);
    }
    void DrawInto(HDC dc, HWND control, UINT state) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = static_cast<UINT>(GetDlgCtrlID(control));
        item.itemState = state;
        item.hwndItem = control;
        item.hDC = dc;
        GetClientRect(control, &item.rcItem);
        SendMessageA(Window(), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    }
    void Click(HWND control) {
        SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
    }
    // A press and release of an option's box as the user makes it.
    void Toggle(size_t row) {
        Draw(Box(row), ODS_SELECTED | ODS_FOCUS);
        Draw(Box(row), ODS_FOCUS);
        Click(Box(row));
    }
    void Key(HWND control, WPARAM key) { SendMessageA(control, WM_KEYDOWN, key, 0); }
    std::string HelpShown() const { return HelpShownInConfigWindow(); }
    static size_t Marks(const std::string& help) {
        size_t count = 0;
        for (size_t at = help.find("(taken)"); at != std::string::npos; at = help.find("(taken)", at + 1)) ++count;
        return count;
    }
    static bool AllHeld() {
        for (int32_t id = kFirstHotkeyId; id <= kHotkeyCount; ++id) {
            if (HotkeyRegistration()[id].Hold != HotkeyHold::Held) return false;
        }
        return true;
    }
    static bool AllFree() {
        for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
            if (!CombinationFree(gSettings.Hotkeys[id])) return false;
        }
        return true;
    }
};

constexpr size_t kTrayRow = 7;
constexpr size_t kDisableRow = 9;
constexpr size_t kAutoplayRow = 1;
constexpr size_t kRecycleRow = 10;

TEST_F(ConfigWindowTest, RegionCutsBothTopCorners) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(Window(), region), ERROR);
    const int bottom = kConfigWindowBaseHeight + GetSystemMetrics(SM_CYSMCAPTION) - 1;
    const struct {
        POINT At;
        bool Inside;
    } points[] = {{{0, 0}, false},     {{6, 6}, false},       {{8, 8}, true},           {{20, 1}, true},
                  {{463, 0}, false},   {{457, 6}, false},     {{455, 10}, true},        {{0, 20}, true},
                  {{463, bottom}, true}, {{0, bottom}, true}, {{232, 300}, true}};
    for (const auto& p : points) {
        EXPECT_EQ(PtInRegion(region, p.At.x, p.At.y) != FALSE, p.Inside) << p.At.x << "," << p.At.y;
    }
    DeleteObject(region);
}

// The window grew by a row below the title for the Recycle Bin box: all of the box lies
// inside the window's region and client area, below the title and above the bottom.
TEST_F(ConfigWindowTest, WindowHoldsTheRowBelowTheTitle) {
    RECT window{}, box{}, client{};
    GetWindowRect(Window(), &window);
    GetWindowRect(Box(kRecycleRow), &box);
    GetClientRect(Window(), &client);
    EXPECT_EQ(window.bottom - window.top, 522 + GetSystemMetrics(SM_CYSMCAPTION));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(Window(), region), ERROR);
    for (const POINT corner : {POINT{box.left, box.top}, POINT{box.right - 1, box.bottom - 1}}) {
        EXPECT_TRUE(PtInRegion(region, corner.x - window.left, corner.y - window.top)) << corner.y - window.top;
        POINT inClient = corner;
        ScreenToClient(Window(), &inClient);
        EXPECT_TRUE(PtInRect(&client, inClient)) << inClient.y;
    }
    DeleteObject(region);
    // What the system sets again on a change of its settings keeps the new height.
    SendMessageA(Window(), WM_SETTINGCHANGE, 0, 0);
    GetWindowRect(Window(), &window);
    EXPECT_EQ(window.bottom - window.top, 522 + GetSystemMetrics(SM_CYSMCAPTION));
}

struct ControlLook {
    HWND Handle;
    const char* Class;
    std::string Text;
    RECT At;  // x, y, width, height in the window's client area
    DWORD Style;
    int Id;
};

std::string BoxText(HelpBox box) { return HotkeyHelpText(box, DefaultHotkeys(), HotkeyStates{}); }

std::vector<ControlLook> ExpectedControls() {
    const ConfigWindowState& c = gConfig;
    const char* title = "Quavix VEMO plug-in 1.6";
    std::vector<ControlLook> all = {
        {c.TitleLayers[0], "Static", title, {28, 447, 317, 44}, 0x50000180, 0},
        {c.TitleLayers[1], "Static", title, {26, 445, 317, 44}, 0x50000180, 0},
        {c.TitleLayers[2], "Static", title, {27, 446, 317, 44}, 0x50000180, 0},
        {c.HelpTexts[0], "Static", BoxText(HelpBox::Playback), {12, 17, 212, 161}, 0x5000008C, 0},
        {c.HelpTexts[1], "Static", BoxText(HelpBox::Additional), {236, 17, 212, 161}, 0x5000008C, 0},
        {c.HelpTexts[2], "Static", BoxText(HelpBox::Service), {12, 198, 212, 249}, 0x5000008C, 0},
        {c.FolderLabel, "Static", "Move to/copy to folder:", {239, 405, 150, 20}, 0x50000080, 0},
        {c.GroupBoxes[0], "Button", "Playback controls (Defaults)", {6, 2, 222, 178}, 0x50000007, 0},
        {c.GroupBoxes[1], "Button", "Additional controls (Defaults)", {230, 2, 222, 178}, 0x50000007, 0},
        {c.GroupBoxes[2], "Button", "Service controls (Defaults)", {6, 183, 222, 266}, 0x50000007, 0},
        {c.GroupBoxes[3], "Button", "Options", {230, 183, 222, 266}, 0x50000007, 0},
    };
    const int ids[kOptionCount] = {4, 5, 6, 3, 7, 9, 1, 10, 8, 2, 11};
    const char* labels[kOptionCount] = {"Launch Quavix minimized", "Autoplay", "Visualization plug-in on start",
                                        "Vemo on song start", "Playlist track number in vemo",
                                        "Prompt on file deletion", "Also remove folder",
                                        "\"Previous/next\" button in systray", "Disable vemos", "Disable plug-in",
                                        "Delete to Recycle Bin"};
    // The ten rows of the Options box, then the Recycle Bin row below the title.
    const auto top = [](int row) { return row < 10 ? 199 + 20 * row : 492; };
    for (int row = 0; row < kOptionCount; ++row) {
        all.push_back({c.CheckBoxes[static_cast<size_t>(row)], "Button", "", {237, top(row), 208, 17}, 0x5001000B,
                       ids[row]});
    }
    all.push_back({c.OkButton, "Button", "OK", {372, 453, 80, 25}, 0x5001000B, 0});
    all.push_back({c.FolderEdit, "Edit", "", {237, 420, 140, 20}, 0x50410090, 4});
    all.push_back({c.BrowseButton, "Button", "Browse", {382, 420, 64, 22}, 0x5001000B, 100});
    all.push_back({c.HotkeysButton, "Button", "Hotkeys", {11, 492, 100, 22}, 0x5001000B, 101});
    for (int row = 0; row < kOptionCount; ++row) {
        const size_t r = static_cast<size_t>(row);
        all.push_back({c.ShadowLabels[r], "Static", labels[row], {262, top(row) + 3, 210, 191}, 0x50000000, 0});
        all.push_back({c.FaceLabels[r], "Static", labels[row], {260, top(row) + 1, 210, 191}, 0x50000000, 0});
    }
    return all;
}

// Every control as the system sees it: class, text, place, size, style and id.
TEST_F(ConfigWindowTest, EveryControlIsWhereTheTableSays) {
    const std::vector<ControlLook> controls = ExpectedControls();
    ASSERT_EQ(controls.size(), 48u);
    for (const ControlLook& c : controls) {
        SCOPED_TRACE(c.Text.substr(0, 30) + " at " + std::to_string(c.At.left) + "," + std::to_string(c.At.top));
        ASSERT_TRUE(IsWindow(c.Handle));
        EXPECT_EQ(GetParent(c.Handle), Window());
        char className[32] = {};
        GetClassNameA(c.Handle, className, sizeof className);
        EXPECT_STRCASEEQ(className, c.Class);
        std::string text(4096, '\0');
        text.resize(static_cast<size_t>(GetWindowTextA(c.Handle, text.data(), static_cast<int>(text.size()))));
        EXPECT_TRUE(SameHelpUpToShortening(text, c.Text)) << text;
        RECT r{};
        GetWindowRect(c.Handle, &r);
        MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, c.At.left);
        EXPECT_EQ(r.top, c.At.top);
        EXPECT_EQ(r.right - r.left, c.At.right);
        EXPECT_EQ(r.bottom - r.top, c.At.bottom);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(c.Handle, GWL_STYLE)) & ~WS_GROUP, c.Style);
        EXPECT_EQ(GetDlgCtrlID(c.Handle), c.Id);
    }
    EXPECT_EQ(SendMessageA(gConfig.FolderEdit, EM_GETLIMITTEXT, 0, 0), 260);
}

// Every help box's lines lie inside its frame, below its caption, at 12- and 13-pixel
// line heights, with the default combinations and with long ones marked: the help used
// to put lines on the frames and under the captions, and a long combination wrapped.
TEST_F(ConfigWindowTest, HelpLinesStayInsideTheirBoxes) {
    HotkeyTable longOnes = DefaultHotkeys();
    HotkeyStates taken;
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        longOnes[id] = {kModCtrl | kModAlt | kModShift, VK_NEXT};
        taken[id] = {HotkeyHold::TakenByOther};
    }
    const struct {
        HotkeyTable Table;
        HotkeyStates States;
    } combinations[] = {{DefaultHotkeys(), HotkeyStates{}}, {longOnes, taken}};
    // The lines as the text font lays them out, counted at its own line height; a
    // user's "Arial" may be a pixel taller, so the lines must fit at 13 pixels too.
    HDC dc = GetDC(Window());
    HGDIOBJ old = SelectObject(dc, gPlugin.Fonts.At(kBaseDpi).Text.Get());
    TEXTMETRICA metrics{};
    ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
    ASSERT_GT(metrics.tmHeight, 0);
    for (size_t box = 0; box < kHelpBoxCount; ++box) {
        SCOPED_TRACE("box " + std::to_string(box));
        HWND help = gConfig.HelpTexts[box];
        // Lines too long for the box are cut, never wrapped onto the next ones.
        EXPECT_EQ(GetWindowLongA(help, GWL_STYLE) & SS_TYPEMASK, SS_LEFTNOWORDWRAP);
        RECT at{}, frame{};
        GetWindowRect(help, &at);
        MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&at), 2);
        GetWindowRect(gConfig.GroupBoxes[box], &frame);
        MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&frame), 2);
        for (const auto& c : combinations) {
            const std::string lines = HotkeyHelpText(static_cast<HelpBox>(box), c.Table, c.States);
            RECT need{0, 0, at.right - at.left, 0};
            DrawTextA(dc, lines.c_str(), -1, &need, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
            const int count = need.bottom / metrics.tmHeight;
            EXPECT_EQ(count, static_cast<int>(std::count(lines.begin(), lines.end(), '\r')) + 1) << lines;
            for (int lineHeight : {12, 13}) {
                SCOPED_TRACE("line height " + std::to_string(lineHeight));
                EXPECT_LE(count * lineHeight, at.bottom - at.top) << lines;
                // Inside the two-pixel frame, below the caption (the bold font, as tall as the text).
                EXPECT_GE(at.left, frame.left + 2);
                EXPECT_LE(at.right, frame.right - 2);
                EXPECT_GE(at.top, frame.top + lineHeight);
                EXPECT_LE(at.bottom, frame.bottom - 2);
            }
        }
    }
    SelectObject(dc, old);
    ReleaseDC(Window(), dc);
    // The boxes themselves stay where they were.
    const RECT boxes[] = {{6, 2, 228, 180}, {230, 2, 452, 180}, {6, 183, 228, 449}, {230, 183, 452, 449}};
    for (size_t i = 0; i < std::size(boxes); ++i) {
        RECT r{};
        GetWindowRect(gConfig.GroupBoxes[i], &r);
        MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_TRUE(EqualRect(&r, &boxes[i])) << i;
    }
}

// An option flips when its box goes into the pressed state, not on every repaint in
// that state; off the box and back on is a new press.
TEST_F(ConfigWindowTest, AnOptionFlipsOnceForEachPress) {
    ASSERT_FALSE(gSettings.OptAutoplay());
    const UINT pressed = ODS_SELECTED | ODS_FOCUS;
    Draw(Box(kAutoplayRow), pressed);
    EXPECT_TRUE(gSettings.OptAutoplay());
    Draw(Box(kAutoplayRow), pressed);  // the window uncovered while the button is held
    EXPECT_TRUE(gSettings.OptAutoplay());
    Draw(Box(kAutoplayRow), ODS_FOCUS);  // moved off
    Draw(Box(kAutoplayRow), pressed);    // and back on
    EXPECT_FALSE(gSettings.OptAutoplay());
}

// "Disable plug-in" releases all 36 hotkeys at once and takes them again; the tray
// option alone decides whether the icon comes back.
TEST_F(ConfigWindowTest, DisablingThePlugInReleasesEveryHotkeyAndEnablingTakesThemAgain) {
    Toggle(kDisableRow);
    ASSERT_TRUE(gSettings.OptDisabled());
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        EXPECT_TRUE(CombinationFree(gSettings.Hotkeys[id])) << id;
    }
    Toggle(kDisableRow);
    ASSERT_FALSE(gSettings.OptDisabled());
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        EXPECT_FALSE(CombinationFree(gSettings.Hotkeys[id])) << id;
    }
}

// The tray option acts at once, also while the plug-in is disabled; enabling the
// plug-in brings the icon back only with its option on.
TEST_F(ConfigWindowTest, TrayIconFollowsItsOptionAndThePlugInsState) {
    ASSERT_TRUE(TrayIconShown());
    Toggle(kDisableRow);
    EXPECT_FALSE(TrayIconShown());
    Toggle(kTrayRow);  // off
    Toggle(kTrayRow);  // on, while disabled
    EXPECT_TRUE(TrayIconShown());
    Toggle(kTrayRow);  // off
    Toggle(kDisableRow);
    EXPECT_FALSE(TrayIconShown()) << "enabled again, but the option is off";
}

// "Disable plug-in" acts on each flip of its flag, whether a click follows or not. A
// press dragged off the box flipped the flag without a click, leaving every hotkey and
// the tray button active; a press dragged off and back on flipped it twice, and the one
// click then asked again for what was held, which the system refused as taken.
TEST_F(ConfigWindowTest, DisablingActsOnEachFlipNotOnTheClick) {
    const UINT pressed = ODS_SELECTED | ODS_FOCUS;
    Draw(Box(kDisableRow), pressed);
    ASSERT_TRUE(gSettings.OptDisabled());
    EXPECT_TRUE(AllFree());
    EXPECT_FALSE(TrayIconShown());
    Draw(Box(kDisableRow), ODS_FOCUS);  // dragged off, released there: no click
    EXPECT_TRUE(gSettings.OptDisabled());
    EXPECT_TRUE(AllFree());

    Draw(Box(kDisableRow), pressed);
    ASSERT_FALSE(gSettings.OptDisabled());
    EXPECT_TRUE(AllHeld());
    EXPECT_TRUE(TrayIconShown());
    Draw(Box(kDisableRow), ODS_FOCUS);  // off the box
    Draw(Box(kDisableRow), pressed);    // and back on: flipped again
    Draw(Box(kDisableRow), ODS_FOCUS);
    Draw(Box(kDisableRow), pressed);    // and once more, before the one click
    Click(Box(kDisableRow));
    ASSERT_FALSE(gSettings.OptDisabled());
    EXPECT_TRUE(AllHeld());
    EXPECT_EQ(Marks(HelpShown()), 0u);
    EXPECT_TRUE(TrayIconShown());
}

TEST_F(ConfigWindowTest, TrayOptionActsOnEachFlipNotOnTheClick) {
    Draw(Box(kTrayRow), ODS_SELECTED | ODS_FOCUS);
    EXPECT_FALSE(gSettings.OptSystrayIcon());
    EXPECT_FALSE(TrayIconShown());
    Draw(Box(kTrayRow), ODS_FOCUS);
    Draw(Box(kTrayRow), ODS_SELECTED | ODS_FOCUS);
    Click(Box(kTrayRow));
    EXPECT_TRUE(gSettings.OptSystrayIcon());
    EXPECT_TRUE(TrayIconShown());
}

// The same with the mouse the system moves: pressed on "Disable plug-in", dragged off
// and let go; then pressed, dragged off, back on and let go.
TEST_F(ConfigWindowTest, DisablingByMouseActsWhereverTheButtonGoesUp) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "mouse input needs a display";
    ShowConfigWindowCentred();
    const POINT on = CentreOf(Box(kDisableRow));
    const POINT off = CentreOf(gConfig.GroupBoxes[2]);
    auto pressedDrawn = [] { return gConfig.DrawnPressed[kDisableRow]; };
    auto released = [] { return GetCapture() == nullptr; };

    ASSERT_TRUE(MovePointer(on) && LeftButton(true));
    ASSERT_TRUE(PumpUntil(pressedDrawn));
    ASSERT_TRUE(MovePointer(off));
    ASSERT_TRUE(PumpUntil([&] { return !pressedDrawn(); }));
    ASSERT_TRUE(LeftButton(false));
    ASSERT_TRUE(PumpUntil(released));
    EXPECT_TRUE(gSettings.OptDisabled()) << "the box shows it checked";
    EXPECT_TRUE(AllFree()) << "so no hotkey may work";
    EXPECT_FALSE(TrayIconShown());

    // A second press this soon would be a double click, which the box reports instead
    // of going down.
    PumpUntil([] { return false; }, GetDoubleClickTime() + 100);
    ASSERT_TRUE(MovePointer(on) && LeftButton(true));
    ASSERT_TRUE(PumpUntil(pressedDrawn));
    ASSERT_FALSE(gSettings.OptDisabled());
    ASSERT_TRUE(MovePointer(off));
    ASSERT_TRUE(PumpUntil([&] { return !pressedDrawn(); }));
    ASSERT_TRUE(MovePointer(on));
    ASSERT_TRUE(PumpUntil(pressedDrawn));
    ASSERT_TRUE(gSettings.OptDisabled());
    ASSERT_TRUE(MovePointer(off));
    ASSERT_TRUE(PumpUntil([&] { return !pressedDrawn(); }));
    ASSERT_TRUE(MovePointer(on));
    ASSERT_TRUE(PumpUntil(pressedDrawn));
    ASSERT_TRUE(LeftButton(false));
    ASSERT_TRUE(PumpUntil(released));
    EXPECT_FALSE(gSettings.OptDisabled());
    EXPECT_TRUE(AllHeld());
    EXPECT_EQ(Marks(HelpShown()), 0u) << "nothing the plug-in holds is reported as taken";
    EXPECT_TRUE(TrayIconShown());
}

// A request to close the window (Alt+F4 reaches default processing from any control)
// hides it as OK does. It used to destroy the window, which made the player exit and,
// had the player run on, left the Config key and the tray button a window that is gone.
TEST_F(ConfigWindowTest, CloseHidesTheWindowAndThePlayerRunsOn) {
    ShowConfigWindowCentred();
    EXPECT_EQ(SendMessageA(Window(), WM_CLOSE, 0, 0), 0);
    ASSERT_TRUE(IsWindow(Window()));
    EXPECT_FALSE(IsWindowVisible(Window()));
    EXPECT_TRUE(player_.Commands().empty());
    SendMessageA(gPlugin.MainPopup, WM_HOTKEY, static_cast<WPARAM>(HotkeyId::Config), 0);
    EXPECT_TRUE(IsWindowVisible(Window()));
}

struct FocusCase {
    const char* Name;
    HWND (*Control)();
};

class AltF4Test : public ConfigWindowTest, public ::testing::WithParamInterface<FocusCase> {};

TEST_P(AltF4Test, HidesTheWindowWhereverTheFocusIs) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "keyboard input needs a display";
    ShowConfigWindowCentred();
    const HWND control = GetParam().Control();
    SetFocus(control);
    ASSERT_EQ(GetFocus(), control);
    ASSERT_TRUE(PressKeys({VK_MENU}, VK_F4));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(Window()); }));
    ASSERT_TRUE(IsWindow(Window()));
    EXPECT_TRUE(player_.Commands().empty()) << "the player is not made to exit";
    // The Config key and the tray button still have their window.
    ASSERT_TRUE(PressWinKey(VK_OEM_3));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(Window()) != FALSE; }));
    SendMessageA(Window(), kTrayIconMessage, 0, WM_RBUTTONUP);
    EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdNext});
}

INSTANTIATE_TEST_SUITE_P(Focus, AltF4Test,
                         ::testing::Values(FocusCase{"CheckBox", [] { return gConfig.CheckBoxes[kAutoplayRow]; }},
                                           FocusCase{"Ok", [] { return gConfig.OkButton; }},
                                           FocusCase{"FolderField", [] { return gConfig.FolderEdit; }}),
                         [](const auto& param) { return std::string(param.param.Name); });

// Focus given to the window goes on to OK.
TEST_F(ConfigWindowTest, FocusOnTheWindowGoesToOk) {
    SetFocus(gConfig.FolderEdit);
    SetFocus(Window());
    EXPECT_EQ(GetFocus(), gConfig.OkButton);
}

// The tick shows exactly when the option is on, box by box.
TEST_F(ConfigWindowTest, TickIsDrawnExactlyWhenTheOptionIsOn) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    RECT client{};
    GetClientRect(Box(0), &client);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    for (size_t row = 0; row < kOptionCount; ++row) {
        const auto option = static_cast<OptionId>(GetDlgCtrlID(Box(row)));
        for (bool on : {false, true}) {
            gSettings.Set(option, on);
            DrawInto(dc, Box(row), 0);
            // The middle of the box: the tick when on, the button face when off.
            const int middle = client.bottom / 2;
            EXPECT_EQ(GetPixel(dc, middle, middle), GetSysColor(on ? COLOR_BTNSHADOW : COLOR_BTNFACE))
                << "row " << row << (on ? " on" : " off");
            EXPECT_EQ(gSettings.IsOn(option), on) << "drawn, not pressed: no flip";
        }
    }
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

// New system colours: pens and brushes made anew in them, the region set again, and the
// window on top at its size, neither moved nor shown.
TEST_F(ConfigWindowTest, SettingChangeFollowsTheNewColours) {
    const int elements[] = {COLOR_BTNSHADOW, COLOR_BTNFACE};
    const COLORREF old[] = {GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNFACE)};
    const COLORREF changed[] = {RGB(1, 2, 3), RGB(4, 5, 6)};
    ASSERT_TRUE(SetSysColors(2, elements, changed));
    SetWindowRgn(Window(), nullptr, FALSE);
    RECT before{};
    GetWindowRect(Window(), &before);

    EXPECT_EQ(SendMessageA(Window(), WM_SETTINGCHANGE, 0, 0), 0);
    LOGBRUSH brush{};
    GetObjectA(gPlugin.Drawing.ButtonShadowBrush.Get(), sizeof brush, &brush);
    LOGPEN pen{};
    GetObjectA(gPlugin.Drawing.ButtonFacePen.Get(), sizeof pen, &pen);
    SetSysColors(2, elements, old);
    EXPECT_EQ(brush.lbColor, changed[0]);
    EXPECT_EQ(pen.lopnColor, changed[1]);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(Window(), region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 1, 1)) << "the corners are cut again";
    DeleteObject(region);
    EXPECT_NE(GetWindowLongA(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    RECT after{};
    GetWindowRect(Window(), &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right - after.left, kConfigWindowWidth);
    EXPECT_EQ(after.bottom - after.top, kConfigWindowBaseHeight + GetSystemMetrics(SM_CYSMCAPTION));
    EXPECT_FALSE(IsWindowVisible(Window()));
}

// A hand over the title, which is a mail link; the arrow over everything else.
TEST_F(ConfigWindowTest, HandOverTheTitleLinkArrowElsewhere) {
    const HCURSOR hand = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
    const HCURSOR arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    const struct {
        HWND Under;
        HCURSOR Cursor;
    } cases[] = {{gConfig.TitleLayers[0], hand}, {gConfig.TitleLayers[1], arrow}, {gConfig.TitleLayers[2], arrow},
                 {gConfig.FolderEdit, arrow},    {Box(0), arrow},                 {Window(), arrow}};
    for (const auto& c : cases) {
        SetCursor(nullptr);
        EXPECT_EQ(SendMessageA(Window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(c.Under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 1);
        EXPECT_EQ(GetCursor(), c.Cursor) << c.Under;
    }
}

// The labels and title layers lie over one another: each draws its letters alone, in
// its colour; the help text and the folder label are drawn as statics are.
TEST_F(ConfigWindowTest, LayeredLabelsDrawTransparentInTheirColours) {
    std::vector<std::pair<HWND, int>> cases = {{gConfig.TitleLayers[0], COLOR_BTNSHADOW},
                                               {gConfig.TitleLayers[1], COLOR_BTNHIGHLIGHT},
                                               {gConfig.TitleLayers[2], COLOR_BTNFACE},
                                               {gConfig.HelpTexts[0], -1},
                                               {gConfig.HelpTexts[1], -1},
                                               {gConfig.HelpTexts[2], -1},
                                               {gConfig.FolderLabel, -1}};
    for (size_t row = 0; row < kOptionCount; ++row) {
        cases.emplace_back(gConfig.ShadowLabels[row], COLOR_BTNSHADOW);
        cases.emplace_back(gConfig.FaceLabels[row], COLOR_WINDOWTEXT);
    }
    const HBRUSH none = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    HDC dc = CreateCompatibleDC(nullptr);
    for (const auto& [control, colour] : cases) {
        SetTextColor(dc, RGB(9, 9, 9));
        SetBkMode(dc, OPAQUE);
        const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(Window(), WM_CTLCOLORSTATIC,
                                                                 reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
        if (colour < 0) {
            EXPECT_NE(brush, none) << control;
            EXPECT_EQ(GetBkMode(dc), OPAQUE) << control;
        } else {
            EXPECT_EQ(brush, none) << control;
            EXPECT_EQ(GetBkMode(dc), TRANSPARENT) << control;
            EXPECT_EQ(GetTextColor(dc), GetSysColor(colour)) << control;
        }
    }
    DeleteDC(dc);
}

// The tray button reports to this window: left plays the previous track, right the
// next, each marked for the song popup.
TEST_F(ConfigWindowTest, TrayButtonClicksReachThePlayer) {
    for (LPARAM mouse : {LPARAM{WM_LBUTTONUP}, LPARAM{WM_RBUTTONUP}, LPARAM{WM_MOUSEMOVE}}) {
        SendMessageA(Window(), kTrayIconMessage, 0, mouse);
    }
    EXPECT_EQ(player_.Commands(), (std::vector<WPARAM>{CmdPrevious, CmdNext}));
    EXPECT_TRUE(gSongWatch.ForceSongPopup);
    EXPECT_EQ(gSongWatch.TitleChangeCount, -2);
}

TEST_F(ConfigWindowTest, HintShowsOnTheSecondMovementAndGoesWhenThePointerLeaves) {
    SetCursorPos(0, 0);
    gPopup.HintArmed = false;
    SendMessageA(Box(kAutoplayRow), WM_NCHITTEST, 0, 0);
    EXPECT_FALSE(IsWindowVisible(gPlugin.InfoPopup)) << "the first movement only arms the hints";
    SendMessageA(Box(kAutoplayRow), WM_NCHITTEST, 0, 0);
    EXPECT_TRUE(IsWindowVisible(gPlugin.InfoPopup));
    EXPECT_EQ(gPopup.LastInfoBody, "Checked state causes Quavix to begin playing when it starts");
    EXPECT_TRUE(gPopup.InfoPopupStale);
    // The pointer is not over the box: its hint timer takes the hint away.
    SendMessageA(gPlugin.MainPopup, WM_TIMER, 8, 0);
    EXPECT_FALSE(IsWindowVisible(gPlugin.InfoPopup));
}

// The Recycle Bin box has a hint timer of its own, which watches that box and no other;
// another box's timer leaves its hint alone.
TEST_F(ConfigWindowTest, RecycleBinHintHasItsOwnTimer) {
    SetCursorPos(0, 0);
    gPopup.HintArmed = true;
    SendMessageA(Box(kRecycleRow), WM_NCHITTEST, 0, 0);
    ASSERT_TRUE(IsWindowVisible(gPlugin.InfoPopup));
    EXPECT_EQ(gPopup.LastInfoBody, "If checked then Win+Delete moves a file to the Recycle Bin, where it can be "
                                   "restored;\runchecked, the file is deleted for good");
    EXPECT_EQ(TimerPeriod(18), kHintWatchPeriodMs);
    for (UINT_PTR other : {4, 6, 7, 8, 9, 10, 11, 14, 15, 16, 17}) EXPECT_EQ(TimerPeriod(other), 0u) << other;
    // Timer 18 hides the hint only when the pointer is off the Recycle Bin box.
    const POINT on = CentreOf(Box(kRecycleRow));
    SetCursorPos(on.x, on.y);
    SendMessageA(gPlugin.MainPopup, WM_TIMER, 18, 0);
    EXPECT_TRUE(IsWindowVisible(gPlugin.InfoPopup)) << "still over the box";
    SetCursorPos(0, 0);
    SendMessageA(gPlugin.MainPopup, WM_TIMER, 18, 0);
    EXPECT_FALSE(IsWindowVisible(gPlugin.InfoPopup));
}

// The tab stops: the boxes, the Recycle Bin one after "Disable plug-in", OK, the folder
// field, Browse, Hotkeys, round again.
TEST_F(ConfigWindowTest, KeysWalkTheTabStopsAndEnterOrEscapeHide) {
    ShowConfigWindowCentred();
    const HWND last = gConfig.HotkeysButton;
    SetFocus(Box(kDisableRow));
    Key(Box(kDisableRow), VK_TAB);
    EXPECT_EQ(GetFocus(), Box(kRecycleRow));
    Key(Box(kRecycleRow), VK_TAB);
    EXPECT_EQ(GetFocus(), gConfig.OkButton);
    Key(gConfig.OkButton, VK_DOWN);
    EXPECT_EQ(GetFocus(), gConfig.FolderEdit);
    Key(gConfig.FolderEdit, VK_RIGHT);
    EXPECT_EQ(GetFocus(), gConfig.BrowseButton);
    Key(gConfig.BrowseButton, VK_TAB);
    EXPECT_EQ(GetFocus(), last);
    Key(last, VK_TAB);
    EXPECT_EQ(GetFocus(), Box(0)) << "round to the first box";
    Key(Box(0), VK_LEFT);
    EXPECT_EQ(GetFocus(), last);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    Key(last, VK_TAB);
    Key(gConfig.BrowseButton, VK_TAB);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(GetFocus(), gConfig.FolderEdit) << "Shift+Tab goes back";
    Key(gConfig.FolderEdit, VK_RETURN);
    EXPECT_FALSE(IsWindowVisible(Window()));
}

std::string gBrowsed;
bool FakeBrowse(std::string& folder) {
    folder = gBrowsed;
    return !gBrowsed.empty();
}
struct ShellCall {
    HWND Owner;
    std::string Verb, File, Directory;
    int Show;
};
std::vector<ShellCall> gShellCalls;
HINSTANCE FakeShellOpen(HWND owner, const char* verb, const char* file, const char*, const char* directory, int show) {
    gShellCalls.push_back({owner, verb, file, directory ? directory : "", show});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
}

// Typed text stops at 260 characters, all in lower case; Browse fills the field, a
// cancelled browser leaves it; copy and move use what it shows.
TEST_F(ConfigWindowTest, FolderFieldTakesTypingAndTheBrowser) {
    for (int i = 0; i < 300; ++i) SendMessageA(gConfig.FolderEdit, WM_CHAR, 'A', 0);
    EXPECT_EQ(gSettings.DestinationFolder, std::string(260, 'a'));
    Effects().BrowseForFolder = FakeBrowse;
    gBrowsed = "c:\\music\\new";
    Click(gConfig.BrowseButton);
    EXPECT_EQ(gSettings.DestinationFolder, "c:\\music\\new");
    gBrowsed.clear();
    Click(gConfig.BrowseButton);
    EXPECT_EQ(gSettings.DestinationFolder, "c:\\music\\new");
}

std::wstring FieldText(HWND field) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A folder in any script, however it reaches the field, is kept whole and in lower case,
// letter by letter: in the settings as UTF-8, in the field as the user sees it.
TEST_F(ConfigWindowTest, FolderFieldKeepsAFolderInAnyScriptInLowerCase) {
    // A field subclassed with the 8-bit calls would narrow every text put into it.
    ASSERT_TRUE(IsWindowUnicode(gConfig.FolderEdit));
    Effects().BrowseForFolder = FakeBrowse;
    const struct {
        const char* Way;
        std::string Folder;
        std::string Kept;
    } cases[] = {
        {"stored", "D:\\ΜΟΥΣΙΚΉ", "d:\\μουσική"},
        {"browsed", "C:\\Музыка\\НОВОЕ 🎵", "c:\\музыка\\новое 🎵"},
        {"typed", "E:\\ÆØÅ\\日本", "e:\\æøå\\日本"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Way);
        SetWindowTextW(gConfig.FolderEdit, L"");
        if (std::string(c.Way) == "stored") {
            gSettings.DestinationFolder = c.Folder;
            ShowStoredDestinationFolder();
        } else if (std::string(c.Way) == "browsed") {
            gBrowsed = c.Folder;
            Click(gConfig.BrowseButton);
        } else {
            for (wchar_t unit : ToWide(c.Folder)) SendMessageW(gConfig.FolderEdit, WM_CHAR, unit, 0);
        }
        EXPECT_EQ(gSettings.DestinationFolder, c.Kept);
        EXPECT_EQ(FromWide(FieldText(gConfig.FolderEdit)), c.Kept);
    }
    // The field's limit counts characters, not the bytes of their UTF-8.
    SetWindowTextW(gConfig.FolderEdit, L"");
    for (int i = 0; i < 300; ++i) SendMessageW(gConfig.FolderEdit, WM_CHAR, L'Ж', 0);
    std::string limit;
    for (int i = 0; i < 260; ++i) limit += "ж";
    EXPECT_EQ(gSettings.DestinationFolder, limit);
}

// The pixels of a self-drawn part, a push button or the caption with its text, column
// by column.
constexpr SIZE kPartArea{200, 30};
std::vector<std::vector<COLORREF>> DrawnPart(bool button, const std::string& text) {
    ScopedGetDC screen(nullptr);
    HDC dc = CreateCompatibleDC(screen.Get());
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), kPartArea.cx, kPartArea.cy));
    std::vector<std::vector<COLORREF>> columns;
    {
        ScopedSelectObject picture(dc, bitmap.Get());
        if (button) {
            PushButtonLook look;
            look.Client = {0, 0, kPartArea.cx, kPartArea.cy};
            look.Text = text;
            look.Font = gPlugin.Fonts.At(kBaseDpi).Bold.Get();
            DrawPushButton(dc, look);
        } else {
            CaptionLook look;
            look.Window = kPartArea;
            look.SmallCaption = 20;
            look.Active = true;
            look.Font = gPlugin.Fonts.At(kBaseDpi).Bold.Get();
            look.TextX = 10;
            look.Text = text.c_str();
            DrawCaptionAndFrame(dc, look);
        }
        for (int x = 0; x < kPartArea.cx; ++x) {
            columns.emplace_back();
            for (int y = 0; y < kPartArea.cy; ++y) columns.back().push_back(GetPixel(dc, x, y));
        }
    }
    DeleteDC(dc);
    return columns;
}

// How many columns lie between the first and the last one in which two drawings differ.
int DifferingSpan(const std::vector<std::vector<COLORREF>>& a, const std::vector<std::vector<COLORREF>>& b) {
    int first = -1, last = -1;
    for (size_t x = 0; x < a.size(); ++x) {
        if (a[x] == b[x]) continue;
        if (first < 0) first = static_cast<int>(x);
        last = static_cast<int>(x);
    }
    return first < 0 ? 0 : last - first + 1;
}

// The buttons and the caption draw accented Latin as its own letters. Through code page
// 1251 "é" is "й"; read byte by byte its UTF-8 is two letters, which moves or widens
// everything after it. "é" is as wide as "e", so only that letter may differ.
TEST_F(ConfigWindowTest, ButtonsAndCaptionDrawTheirOwnLetters) {
    SIZE accent{};
    {
        ScopedGetDC dc(Window());
        ScopedSelectObject font(dc.Get(), gPlugin.Fonts.At(kBaseDpi).Bold.Get());
        GetTextExtentPoint32W(dc.Get(), L"\u00e9", 1, &accent);
    }
    for (bool button : {true, false}) {
        SCOPED_TRACE(button ? "button" : "caption");
        const auto drawn = DrawnPart(button, "Beyoncé");
        EXPECT_NE(drawn, DrawnPart(button, "Beyoncй"));
        const int span = DifferingSpan(drawn, DrawnPart(button, "Beyonce"));
        EXPECT_GT(span, 0);
        // The embossed text is drawn twice, two pixels apart.
        EXPECT_LE(span, accent.cx + 2);
    }
}

TEST_F(ConfigWindowTest, TitleOpensTheMailLink) {
    gShellCalls.clear();
    Effects().ShellOpen = FakeShellOpen;
    Click(gConfig.TitleLayers[0]);
    ASSERT_EQ(gShellCalls.size(), 1u);
    EXPECT_EQ(gShellCalls[0].Owner, gPlugin.MainPopup);
    EXPECT_EQ(gShellCalls[0].Verb, "open");
    EXPECT_EQ(gShellCalls[0].File.rfind("mailto:", 0), 0u);
    EXPECT_EQ(gShellCalls[0].Show, SW_SHOWNORMAL);
}

// What the clicks set is what quit writes.
TEST_F(ConfigWindowTest, OptionsWrittenAtQuitFollowTheClicks) {
    Toggle(kAutoplayRow);
    Toggle(kTrayRow);
    ASSERT_TRUE(gSettings.OptRecycleBin());
    Toggle(kRecycleRow);
    EXPECT_FALSE(gSettings.OptRecycleBin());
    GetPluginRecord()->Quit();
    const std::string file = ReadAll(settingsPath_);
    EXPECT_NE(file.find("\r\nAutoplay=1\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\nSystray icon=0\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\nRecycle bin=0\r\n"), std::string::npos);
}

// A mark that says a key does nothing is shown whole, however long the line; each
// hotkey box says "(Defaults)" only while all its actions have their defaults.
TEST_F(ConfigWindowTest, MarksShowWholeAndBoxesSayDefaultsOnlyWhileInEffect) {
    const HotkeyEntry longOne{kModWin | kModCtrl | kModAlt | kModShift, VK_NEXT};
    const HotkeyEntry heldElsewhere{kModCtrl | kModAlt | kModShift, VK_F24};
    HWND other = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 1, static_cast<UINT>(heldElsewhere.Modifiers), VK_F24));
    auto captions = [] {
        std::vector<std::string> texts;
        for (size_t box = 0; box < kHelpBoxCount; ++box) {
            char text[64] = {};
            GetWindowTextA(gConfig.GroupBoxes[box], text, sizeof text);
            texts.emplace_back(text);
        }
        return texts;
    };
    EXPECT_EQ(captions(), (std::vector<std::string>{"Playback controls (Defaults)", "Additional controls (Defaults)",
                                                   "Service controls (Defaults)"}));
    UnregisterAllHotkeys();
    gSettings.Hotkeys[HotkeyId::Next] = longOne;
    gSettings.Hotkeys[HotkeyId::PrvWOShuffle] = longOne;  // also Next's
    gSettings.Hotkeys[HotkeyId::StopAfterCurr] = heldElsewhere;
    gSettings.Hotkeys[HotkeyId::TrackInfo] = {kModWin | kModCtrl | kModAlt, VK_F23};
    RegisterAllHotkeys();
    ShowHotkeyMarks();
    EXPECT_EQ(captions(), (std::vector<std::string>{"Playback controls", "Additional controls (Defaults)",
                                                   "Service controls"}));
    const std::string help = HelpShown();
    for (const char* mark : {"(also Next track)", "(taken)"}) EXPECT_NE(help.find(mark), std::string::npos) << mark;
    for (HWND box : gConfig.HelpTexts) {
        RECT client{};
        GetClientRect(box, &client);
        HDC dc = GetDC(box);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(box, WM_GETFONT, 0, 0)));
        char text[2048] = {};
        GetWindowTextA(box, text, sizeof text);
        std::string lines = text;
        for (size_t start = 0; start <= lines.size();) {
            const size_t end = std::min(lines.find('\r', start), lines.size());
            const std::string line = lines.substr(start, end - start);
            start = end + 1;
            if (line.find(" (") == std::string::npos || line.find("Double-click") == 0) continue;
            SIZE size{};
            GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size);
            EXPECT_LE(size.cx, client.right) << line;
            EXPECT_TRUE(line.back() == ')' || line.front() == '(') << "the mark is the line's end or start: " << line;
        }
        SelectObject(dc, old);
        ReleaseDC(box, dc);
    }
    UnregisterAllHotkeys();
    gSettings.Hotkeys = DefaultHotkeys();
    RegisterAllHotkeys();
    ShowHotkeyMarks();
    EXPECT_EQ(captions()[0], "Playback controls (Defaults)");
    EXPECT_EQ(captions()[2], "Service controls (Defaults)");
    UnregisterHotKey(other, 1);
    DestroyWindow(other);
}

// Another program holds two default combinations before the plug-in loads.
class TakenHotkeysTest : public ConfigWindowTest {
protected:
    void SetUp() override {
        other_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(RegisterHotKey(other_, 1, MOD_WIN, 'V'));
        ASSERT_TRUE(RegisterHotKey(other_, 2, MOD_WIN, 'S'));
        ConfigWindowTest::SetUp();
    }
    void TearDown() override {
        ConfigWindowTest::TearDown();
        DestroyWindow(other_);
    }
    HWND other_ = nullptr;
};

// The two are named once after the start popup and marked in the help; the other 34
// work. Once the other program lets go, "Disable plug-in" off and on takes them too.
TEST_F(TakenHotkeysTest, AreNamedAtStartMarkedInTheHelpAndTakenAgainWhenFree) {
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        const bool elsewhere =
            id == static_cast<int32_t>(HotkeyId::Next) || id == static_cast<int32_t>(HotkeyId::Shuffle);
        EXPECT_EQ(HotkeyRegistration()[id].Hold, elsewhere ? HotkeyHold::TakenByOther : HotkeyHold::Held) << id;
        if (!elsewhere) {
            EXPECT_FALSE(CombinationFree(gSettings.Hotkeys[id])) << id;
        }
    }
    std::string help = HelpShown();
    EXPECT_EQ(Marks(help), 2u);
    EXPECT_NE(help.find("\rWin+V - Next track (taken)"), std::string::npos);
    EXPECT_NE(help.find("Win+S - Shuffle toggle (taken)"), std::string::npos);

    ASSERT_TRUE(TakeTimer(gPlugin.MainPopup, kTimerNotice)) << "the notice waits for the start popup";
    SendMessageA(gPlugin.MainPopup, WM_TIMER, kTimerNotice, 0);
    EXPECT_TRUE(IsWindowVisible(gPlugin.InfoPopup));
    EXPECT_EQ(gPopup.LastInfoTitle, "2 hotkeys are taken by another program:");
    EXPECT_EQ(gPopup.LastInfoBody, "\rWin+V (Next track)\rWin+S (Shuffle toggle)\rChange them in the configuration window: Hotkeys");
    EXPECT_TRUE(TakeTimer(gPlugin.MainPopup, kTimerHideInfoPopup));
    EXPECT_FALSE(TakeTimer(gPlugin.MainPopup, kTimerNotice)) << "once";

    UnregisterHotKey(other_, 1);
    UnregisterHotKey(other_, 2);
    Toggle(kDisableRow);
    EXPECT_EQ(Marks(HelpShown()), 0u) << "released: nothing is known to be taken";
    Toggle(kDisableRow);
    EXPECT_EQ(Marks(HelpShown()), 0u);
    EXPECT_FALSE(CombinationFree({kModWin, 'V'}));
    EXPECT_FALSE(CombinationFree({kModWin, 'S'}));
}

// No notice when every combination was had, nor when the plug-in starts disabled.
TEST_F(PluginTest, NoNoticeWhenAllHotkeysWork) {
    LoadAndInit();
    EXPECT_FALSE(TakeTimer(gPlugin.MainPopup, kTimerNotice));
    for (int32_t id = kFirstHotkeyId; id <= kHotkeyCount; ++id) EXPECT_EQ(HotkeyRegistration()[id].Hold, HotkeyHold::Held);
}

TEST_F(PluginTest, NoNoticeWhenThePlugInStartsDisabled) {
    HWND other = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 1, MOD_WIN, 'V'));
    WriteSettingsFile("[Vemo Plugin]\r\nDisabled=1\r\n");
    LoadAndInit();
    EXPECT_FALSE(TakeTimer(gPlugin.MainPopup, kTimerNotice));
    EXPECT_EQ(HotkeyRegistration(), HotkeyStates{});
    DestroyWindow(other);
}

// ---- the window at every scale ----

// A control's rectangle in the window's client area: left, top, width, height.
RECT PlaceOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, gPlugin.ConfigWindow, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

int FontHeightOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

std::string TextOf(HWND control) { return FromWide(FieldText(control)); }

// A text in a font on the control's device context: its widest line, and how tall its
// lines are together.
SIZE TextExtent(HWND control, HFONT font, const std::string& text) {
    ScopedGetDC dc(control);
    ScopedSelectObject selected(dc.Get(), font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);
    SIZE all{0, 0};
    for (const std::string& line : LinesOf(text)) {
        const std::wstring wide = ToWide(line);
        SIZE size{};
        GetTextExtentPoint32W(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &size);
        all.cx = std::max(all.cx, size.cx);
        all.cy += metrics.tmHeight;
    }
    return all;
}

// The bounding box of the window's region.
RECT RegionBox() {
    RECT box{};
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(gPlugin.ConfigWindow, region) != ERROR) GetRgnBox(region, &box);
    DeleteObject(region);
    return box;
}

SIZE TextExtent(HWND control) {
    return TextExtent(control, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), TextOf(control));
}

// A static's or a group box's text inside its client area, indent pixels in.
void ExpectTextFits(HWND control, int indent = 0) {
    RECT client{};
    GetClientRect(control, &client);
    const SIZE text = TextExtent(control);
    EXPECT_LE(text.cx + indent, client.right) << TextOf(control);
    EXPECT_LE(text.cy, client.bottom) << TextOf(control);
}

// Every action on a long combination, each also another's: every help line carries a mark.
void MarkEveryHelpLine() {
    UnregisterAllHotkeys();
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        gSettings.Hotkeys[id] = {kModWin | kModCtrl | kModAlt | kModShift, VK_NEXT};
    }
    RegisterAllHotkeys();
    ShowHotkeyMarks();
}

// Each mark in a help box shows whole: at the end of a line that fits, or first on a
// line whose combination alone is too long and is cut after the mark.
void ExpectMarksWhole(HWND help) {
    RECT client{};
    GetClientRect(help, &client);
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(help, WM_GETFONT, 0, 0));
    size_t marks = 0;
    for (const std::string& line : LinesOf(TextOf(help))) {
        if (line.find("(also ") == std::string::npos) continue;
        ++marks;
        const std::string shown = line.back() == ')' ? line : line.substr(0, line.find(')') + 1);
        EXPECT_EQ(shown.find("(also "), line.back() == ')' ? shown.rfind('(') : 0u) << line;
        EXPECT_LE(TextExtent(help, font, shown).cx, client.right) << line;
    }
    EXPECT_GT(marks, 0u);
}

// The system draws a group box's caption this far in; the buttons' focus edge.
constexpr int kGroupCaptionIndent = 8;
constexpr int kButtonFocusInset = 4;

struct ScaleCase {
    int Dpi;
    int TextHeight;   // of the help, the labels, the group boxes
    int TitleHeight;  // of the title's layers
    int Width;        // of the window
    int BaseHeight;   // of the window without its caption
    RECT Ok, FirstBox, FolderEdit, ServiceHelp;
};

void PrintTo(const ScaleCase& c, std::ostream* out) { *out << c.Dpi << " DPI"; }

class ConfigScaleTest : public ConfigWindowTest, public ::testing::WithParamInterface<ScaleCase> {
protected:
    void SetUp() override {
        SetDpiForTests(GetParam().Dpi);
        ConfigWindowTest::SetUp();
    }
};

// Opened at a DPI, the window and every control take their 96-DPI figures scaled, the
// fonts the scaled heights, and no text is cut: the option labels within the part of
// their box that lets them show, the help's lines below one another and its marks whole,
// the captions, the buttons' and the folder label's texts.
TEST_P(ConfigScaleTest, WindowControlsAndFontsFollowTheDpiAndNothingIsCut) {
    const ScaleCase& c = GetParam();
    const ConfigWindowState& w = gConfig;
    ShowConfigWindowCentred();
    ASSERT_TRUE(IsWindowVisible(gPlugin.ConfigWindow));

    RECT window{};
    GetWindowRect(gPlugin.ConfigWindow, &window);
    EXPECT_EQ(window.right - window.left, c.Width);
    EXPECT_EQ(window.bottom - window.top, c.BaseHeight + SystemMetricAt(SM_CYSMCAPTION, c.Dpi));
    const RECT regionBox = RegionBox();
    EXPECT_EQ(regionBox.right, c.Width) << "the region spans the window";
    EXPECT_EQ(regionBox.bottom, window.bottom - window.top);
    const struct {
        HWND Control;
        RECT At;
    } places[] = {{w.OkButton, c.Ok}, {w.CheckBoxes[0], c.FirstBox}, {w.FolderEdit, c.FolderEdit},
                  {w.HelpTexts[2], c.ServiceHelp}};
    for (const auto& p : places) {
        const RECT at = PlaceOf(p.Control);
        EXPECT_TRUE(EqualRect(&at, &p.At)) << TextOf(p.Control) << ": " << at.left << "," << at.top << " "
                                           << at.right << "x" << at.bottom;
    }
    EXPECT_EQ(FontHeightOf(w.TitleLayers[0]), c.TitleHeight);
    for (HWND control : {w.HelpTexts[0], w.FolderLabel, w.FolderEdit, w.GroupBoxes[3], w.FaceLabels[0]}) {
        EXPECT_EQ(FontHeightOf(control), c.TextHeight) << TextOf(control);
    }

    // Each option's label shows whole through its box's label window; the shadow, two
    // pixels lower, may lose the bottom of its descenders as it always has.
    const RECT labelWindow = CheckBoxLabelWindow(c.Dpi);
    for (size_t row = 0; row < kOptionCount; ++row) {
        SCOPED_TRACE(TextOf(w.FaceLabels[row]));
        const RECT box = PlaceOf(w.CheckBoxes[row]);
        const RECT face = PlaceOf(w.FaceLabels[row]);
        const SIZE text = TextExtent(w.FaceLabels[row]);
        EXPECT_GE(face.left, box.left + labelWindow.left);
        EXPECT_LE(face.top + text.cy, box.top + labelWindow.bottom);
        EXPECT_LE(PlaceOf(w.ShadowLabels[row]).left + text.cx, box.left + labelWindow.right);
    }
    // The other texts in their controls; a group box's caption starts a few pixels in.
    for (HWND control : {w.FolderLabel, w.TitleLayers[0]}) ExpectTextFits(control);
    for (HWND group : w.GroupBoxes) ExpectTextFits(group, ScaleToDpi(kGroupCaptionIndent, c.Dpi));
    // Every help line whole in its box (a long action name gives way with "..."), none
    // under the frame; each mark whole.
    for (HWND help : w.HelpTexts) ExpectTextFits(help);
    MarkEveryHelpLine();
    for (HWND help : w.HelpTexts) ExpectMarksWhole(help);
    // The self-drawn buttons' texts in the bold font, inside their focus edge.
    const FontSet& fonts = gPlugin.Fonts.At(c.Dpi);
    for (HWND button : {w.OkButton, w.BrowseButton, w.HotkeysButton}) {
        RECT client{};
        GetClientRect(button, &client);
        const SIZE text = TextExtent(button, fonts.Bold.Get(), TextOf(button));
        EXPECT_LE(text.cx, client.right - 2 * ScaleToDpi(kButtonFocusInset, c.Dpi)) << TextOf(button);
        EXPECT_LE(text.cy, client.bottom) << TextOf(button);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ConfigAt, ConfigScaleTest,
    ::testing::Values(
        ScaleCase{96, -11, -25, 464, 522, {372, 453, 80, 25}, {237, 199, 208, 17}, {237, 420, 140, 20},
                  {12, 198, 212, 249}},
        ScaleCase{120, -14, -31, 580, 653, {465, 566, 100, 31}, {296, 249, 260, 21}, {296, 525, 175, 25},
                  {15, 248, 265, 311}},
        ScaleCase{144, -17, -38, 696, 783, {558, 680, 120, 38}, {356, 299, 312, 26}, {356, 630, 210, 30},
                  {18, 297, 318, 374}},
        ScaleCase{192, -22, -50, 928, 1044, {744, 906, 160, 50}, {474, 398, 416, 34}, {474, 840, 280, 40},
                  {24, 396, 424, 498}}),
    [](const auto& param) { return std::to_string(param.param.Dpi); });

// The controls are made at the first show, not at load; until then the window takes the
// tray button's clicks, the help's refresh does nothing, and the stored folder is kept
// as the field shows it.
TEST_F(PluginTest, ConfigControlsAreMadeAtTheFirstShow) {
    WriteSettingsFile("[Vemo Plugin]\r\nDestination folder=D:\\MUSIC\\New\r\n");
    LoadAndInit();
    HWND window = gPlugin.ConfigWindow;
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(FindWindowExW(window, nullptr, nullptr, nullptr), nullptr) << "no control at load";
    EXPECT_EQ(gConfig.OkButton, nullptr);
    for (HWND box : gPopup.HintCheckBoxes) EXPECT_EQ(box, nullptr);
    EXPECT_EQ(gSettings.DestinationFolder, "d:\\music\\new");
    ShowHotkeyMarks();
    player_.ClearMessages();
    SendMessageW(window, kTrayIconMessage, 0, WM_LBUTTONUP);
    EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdPrevious});

    PluginConfig();
    ASSERT_TRUE(IsWindowVisible(window));
    size_t children = 0;
    for (HWND child = FindWindowExW(window, nullptr, nullptr, nullptr); child;
         child = FindWindowExW(window, child, nullptr, nullptr)) {
        ++children;
    }
    EXPECT_EQ(children, 48u);
    for (HWND box : gPopup.HintCheckBoxes) EXPECT_NE(box, nullptr);
    EXPECT_EQ(FromWide(FieldText(gConfig.FolderEdit)), "d:\\music\\new");
    EXPECT_TRUE(SameHelpUpToShortening(HelpShownInConfigWindow(), HotkeyHelpText(HotkeyRegistration())))
        << HelpShownInConfigWindow();
    EXPECT_EQ(GetFocus(), gConfig.OkButton);
    // Shown again: the same controls.
    const HWND ok = gConfig.OkButton;
    ShowWindow(window, SW_HIDE);
    PluginConfig();
    EXPECT_EQ(gConfig.OkButton, ok);
    EXPECT_EQ(FindWindowExW(window, ok, nullptr, nullptr), gConfig.FolderEdit);
}

// Quit with the window never shown: nothing of the controls to release, the folder
// written as the field would have kept it.
TEST_F(PluginTest, QuitWithoutTheConfigWindowEverShown) {
    WriteSettingsFile("[Vemo Plugin]\r\nDestination folder=E:\\Songs\r\n");
    LoadAndInit();
    PluginQuit();
    EXPECT_FALSE(IsWindow(gConfig.OkButton));
    EXPECT_NE(ReadAll(settingsPath_).find("\r\nDestination folder=e:\\songs\r\n"), std::string::npos)
        << ReadAll(settingsPath_);
}

// Moved to a screen at 144 DPI: the window at the suggested place and the size of that
// DPI, its controls and fonts scaled, the help fitted again. A DPI that changed while it
// was hidden is taken up at the next show.
TEST_F(ConfigWindowTest, DpiChangeLaysTheWindowOutAgain) {
    MarkEveryHelpLine();
    ShowConfigWindowCentred();
    SetDpiForTests(144);
    const SIZE size = ConfigWindowSize(144);
    RECT suggested{40, 30, 40 + size.cx, 30 + size.cy};
    SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT r{};
    GetWindowRect(Window(), &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right - r.left, 696);
    EXPECT_EQ(r.bottom - r.top, 783 + SystemMetricAt(SM_CYSMCAPTION, 144));
    const RECT ok = PlaceOf(gConfig.OkButton);
    const RECT ok144{558, 680, 120, 38};
    EXPECT_TRUE(EqualRect(&ok, &ok144)) << ok.left << "," << ok.top << " " << ok.right << "x" << ok.bottom;
    EXPECT_EQ(FontHeightOf(gConfig.HelpTexts[1]), -17);
    EXPECT_EQ(FontHeightOf(gConfig.FaceLabels[kAutoplayRow]), -17);
    EXPECT_EQ(RegionBox().right, 696);
    for (HWND help : gConfig.HelpTexts) ExpectMarksWhole(help);

    ShowWindow(Window(), SW_HIDE);
    SetDpiForTests(120);
    ShowConfigWindowCentred();
    const RECT ok120 = PlaceOf(gConfig.OkButton);
    const RECT expected120{465, 566, 100, 31};
    EXPECT_TRUE(EqualRect(&ok120, &expected120));
    EXPECT_EQ(FontHeightOf(gConfig.HelpTexts[1]), -14);
    GetWindowRect(Window(), &r);
    EXPECT_EQ(r.right - r.left, 580);
}

}  // namespace
}  // namespace vemo::test
