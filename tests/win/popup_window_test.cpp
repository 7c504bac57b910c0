// The popups in real windows on a 1024 x 768 screen: placement from the measured text,
// the guards, the level display's partial repaint, the multi-line layout, the cover
// watch and click-through.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "popup/popup_layout.h"
#include "popup/popup_window.h"
#include "support/plugin_fixture.h"
#include "text/unicode.h"
#include "win/module_state.h"
#include "win/outside_effects.h"
#include "win/scoped_win.h"

namespace vemo::test {
namespace {

// A window of the test's own; it records the mouse buttons it receives.
class OtherWindow {
public:
    OtherWindow(RECT r, bool topmost) {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "VemoPopupTestWindow";
            registered = RegisterClassA(&wc) != 0;
        }
        window_ = CreateWindowExA(topmost ? WS_EX_TOPMOST | WS_EX_TOOLWINDOW : WS_EX_TOOLWINDOW, "VemoPopupTestWindow",
                                  "", WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowPos(window_, topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    ~OtherWindow() { DestroyWindow(window_); }
    OtherWindow(const OtherWindow&) = delete;
    OtherWindow& operator=(const OtherWindow&) = delete;

    HWND Handle() const { return window_; }
    struct Button {
        UINT Message;
        POINT Screen;
    };
    std::vector<Button> Buttons;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<OtherWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message >= WM_LBUTTONDOWN && message <= WM_MBUTTONUP) {
            POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ClientToScreen(window, &p);
            self->Buttons.push_back({message, p});
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    HWND window_ = nullptr;
};

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

PopupPlace PlaceOf(HWND window) {
    const RECT r = WindowRect(window);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// A UTF-8 text as the popups must measure it: its characters, in the bold font.
SIZE MeasureBold(const std::string& text) {
    const std::wstring wide = ToWide(text);
    ScopedGetDC dc(gPlugin.MainPopup);
    ScopedSelectObject font(dc.Get(), gPlugin.Fonts.At(kBaseDpi).Bold.Get());
    SIZE size{};
    GetTextExtentPoint32W(dc.Get(), wide.data(), static_cast<int>(wide.size()), &size);
    return size;
}

// The same bytes measured one byte per character, as an 8-bit text.
SIZE MeasureBoldBytes(const std::string& text) {
    ScopedGetDC dc(gPlugin.MainPopup);
    ScopedSelectObject font(dc.Get(), gPlugin.Fonts.At(kBaseDpi).Bold.Get());
    SIZE size{};
    GetTextExtentPoint32A(dc.Get(), text.data(), static_cast<int>(text.size()), &size);
    return size;
}

int ScreenW() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenH() { return GetSystemMetrics(SM_CYSCREEN); }

bool Visible(HWND window) { return IsWindowVisible(window) != FALSE; }

// Colour of a client pixel of a shown popup, as drawn into its window.
COLORREF PixelAt(HWND window, int x, int y) {
    ScopedGetDC dc(window);
    return GetPixel(dc.Get(), x, y);
}

// Fills a client rectangle of a popup with a colour its own drawing never uses.
constexpr COLORREF kMarker = RGB(255, 0, 255);
void Mark(HWND window, RECT r) {
    ScopedGetDC dc(window);
    GdiObject<HBRUSH> brush(CreateSolidBrush(kMarker));
    FillRect(dc.Get(), &r, brush.Get());
}

bool AnyMarked(HWND window, RECT r) {
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            if (PixelAt(window, x, y) == kMarker) return true;
        }
    }
    return false;
}

bool AllMarked(HWND window, RECT r) {
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            if (PixelAt(window, x, y) != kMarker) return false;
        }
    }
    return true;
}

TEST_F(PopupTest, OneLinePopupIsPlacedFromTheMeasuredText) {
    ShowPopup("Artist - Song");
    EXPECT_EQ(gPopup.CurrentPopupText, " Artist - Song ");
    ASSERT_TRUE(Visible(gPlugin.MainPopup));
    const SIZE text = MeasureBold(" Artist - Song ");
    EXPECT_EQ(PlaceOf(gPlugin.MainPopup), LinePopupPlace(ScreenW(), ScreenH(), text.cx, text.cy, kBaseDpi));
    EXPECT_EQ(WindowRect(gPlugin.MainPopup).bottom, ScreenH() - 8 + 4);
    EXPECT_TRUE(GetWindowLongA(gPlugin.MainPopup, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(GetForegroundWindow(), gPlugin.MainPopup);
    // Drawn at once: the text cell is in the tooltip colours, inside a raised edge.
    EXPECT_EQ(PixelAt(gPlugin.MainPopup, 3, text.cy / 2), GetSysColor(COLOR_INFOBK));
    EXPECT_NE(PixelAt(gPlugin.MainPopup, 0, 0), GetSysColor(COLOR_INFOBK));
    // The cover watch runs; no hide timer is armed by the show itself.
    EXPECT_TRUE(TakeTimer(gPlugin.MainPopup, kTimerMainCoverWatch));
    EXPECT_FALSE(TakeTimer(gPlugin.MainPopup, kTimerHideMainPopup));

    // Leading blanks stay; a text wider than the screen runs off both ends.
    ShowPopup("  x");
    EXPECT_EQ(gPopup.CurrentPopupText, "   x ");
    const std::string wide(300, 'W');
    ShowPopup(wide);
    const SIZE wideText = MeasureBold(" " + wide + " ");
    ASSERT_GT(wideText.cx, ScreenW());
    const PopupPlace place = PlaceOf(gPlugin.MainPopup);
    EXPECT_LT(place.Left, 0);
    EXPECT_EQ(place, LinePopupPlace(ScreenW(), ScreenH(), wideText.cx, wideText.cy, kBaseDpi));
}

// Titles, levels and information in any script: each popup is as wide as the text's
// characters in the bold font. Measured byte by byte, as 8-bit text, every one of these
// comes out another width.
TEST_F(PopupTest, TextsInAnyScriptAreMeasuredByTheirCharacters) {
    const struct {
        const char* Script;
        std::string Text;
    } cases[] = {
        {"Latin-1", "Motörhead - Ace of Spades"},
        {"Cyrillic", "4 Кино - Группа крови"},
        {"Japanese", "日本語の歌 - 夜明け"},
        {"Emoji", "Song 🎵😀 end"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Script);
        const std::string padded = " " + c.Text + " ";
        ASSERT_NE(MeasureBold(padded).cx, MeasureBoldBytes(padded).cx) << "the case tells the two apart";

        ShowPopup(c.Text);
        EXPECT_EQ(gPopup.CurrentPopupText, padded);
        const SIZE line = MeasureBold(padded);
        EXPECT_EQ(PlaceOf(gPlugin.MainPopup), LinePopupPlace(ScreenW(), ScreenH(), line.cx, line.cy, kBaseDpi));

        ShowLevelPopup(50, padded, "% ");
        const SIZE level = MeasureBold(padded + "% ");
        EXPECT_EQ(PlaceOf(gPlugin.MainPopup),
                  LevelPopupPlace(ScreenW(), ScreenH(), level.cx, level.cy, kLevelBarSlot, kBaseDpi));

        // The path line is the widest of the information popup; the caption too may be.
        const std::string path = "Path: C:\\Music\\" + c.Text + ".mp3";
        ShowMultiLinePopup("\r" + path + "\r\rSize: 4 MB\r", "File info:", '\r');
        const SIZE widest = MeasureBold(" " + path + " ");
        EXPECT_EQ(PlaceOf(gPlugin.InfoPopup), MultiLinePopupPlace(ScreenW(), ScreenH(), widest.cx, 5 * widest.cy, kBaseDpi));
        ShowMultiLinePopup("x", c.Text + " " + c.Text, '\r');
        const SIZE caption = MeasureBold(" " + c.Text + " " + c.Text + " ");
        EXPECT_EQ(PlaceOf(gPlugin.InfoPopup), MultiLinePopupPlace(ScreenW(), ScreenH(), caption.cx, caption.cy, kBaseDpi));
    }
}

// The client pixels of a shown popup's text cell, and the same cell drawn from the wide
// text by the same font in a memory device context.
std::vector<COLORREF> CellOfPopup(HWND popup, SIZE cell) {
    std::vector<COLORREF> pixels;
    ScopedGetDC dc(popup);
    for (int y = 0; y < cell.cy; ++y) {
        for (int x = 0; x < cell.cx; ++x) pixels.push_back(GetPixel(dc.Get(), kPopupEdge + x, kPopupEdge + y));
    }
    return pixels;
}

std::vector<COLORREF> CellDrawnWide(const std::string& text, SIZE cell) {
    const std::wstring wide = ToWide(text);
    ScopedGetDC screen(nullptr);
    HDC dc = CreateCompatibleDC(screen.Get());
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), cell.cx, cell.cy));
    std::vector<COLORREF> pixels;
    {
        ScopedSelectObject picture(dc, bitmap.Get());
        ScopedSelectObject font(dc, gPlugin.Fonts.At(kBaseDpi).Bold.Get());
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        SetBkColor(dc, GetSysColor(COLOR_INFOBK));
        SetBkMode(dc, OPAQUE);
        TextOutW(dc, 0, 0, wide.data(), static_cast<int>(wide.size()));
        for (int y = 0; y < cell.cy; ++y) {
            for (int x = 0; x < cell.cx; ++x) pixels.push_back(GetPixel(dc, x, y));
        }
    }
    DeleteDC(dc);
    return pixels;
}

// Accented Latin is drawn as its own letters, not as the Cyrillic ones that share its
// bytes in code page 1251 ("¾" as "ѕ", "é" as "й"), whatever the system's code page.
TEST_F(PopupTest, LatinTextIsNotDrawnAsItsCyrillicTwin) {
    std::string fractions, dzes;
    for (int i = 0; i < 20; ++i) {
        fractions += "¾";
        dzes += "ѕ";
    }
    const struct {
        std::string Latin;
        std::string Twin;  // the same bytes read in code page 1251
    } cases[] = {{fractions, dzes}, {"Beyoncé", "Beyoncй"}, {"Motörhead", "Motцrhead"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Latin);
        const SIZE latin = MeasureBold(" " + c.Latin + " ");
        const SIZE twin = MeasureBold(" " + c.Twin + " ");
        ShowPopup(c.Latin);
        EXPECT_EQ(PlaceOf(gPlugin.MainPopup).Width, latin.cx + 2 * kPopupEdge);
        const std::vector<COLORREF> shown = CellOfPopup(gPlugin.MainPopup, latin);
        EXPECT_EQ(shown, CellDrawnWide(" " + c.Latin + " ", latin));
        if (latin.cx == twin.cx) {
            EXPECT_NE(shown, CellDrawnWide(" " + c.Twin + " ", twin)) << "the twin looks otherwise";
        }
        ShowPopup(c.Twin);
        EXPECT_EQ(PlaceOf(gPlugin.MainPopup).Width, twin.cx + 2 * kPopupEdge);
    }
    EXPECT_NE(MeasureBold(fractions).cx, MeasureBold(dzes).cx);
}

// The popups are wide windows and every font takes any script: a font of one character
// set makes the system map the other scripts' letters to look-alikes or boxes.
TEST_F(PopupTest, WindowsAreWideAndFontsOfNoOneCharacterSet) {
    ShowMultiLinePopup("one\rtwo", "", '\r');  // made at its first show
    for (HWND window : {gPlugin.MainPopup, gPlugin.InfoPopup, gPlugin.ConfigWindow}) {
        EXPECT_TRUE(IsWindowUnicode(window)) << window;
    }
    const FontSet& f = gPlugin.Fonts.At(kBaseDpi);
    for (HFONT font : {f.Title.Get(), f.Text.Get(), f.Bold.Get(), f.LevelBar.Get()}) {
        LOGFONTW described{};
        ASSERT_EQ(GetObjectW(font, sizeof described, &described), static_cast<int>(sizeof described));
        EXPECT_EQ(described.lfCharSet, DEFAULT_CHARSET) << described.lfHeight << " " << described.lfWeight;
    }
}

TEST_F(PopupTest, GuardsLeaveEverythingAsItWas) {
    ShowPopup(" \t\r ");
    EXPECT_TRUE(gPopup.CurrentPopupText.empty());
    EXPECT_FALSE(Visible(gPlugin.MainPopup));
    EXPECT_FALSE(TakeTimer(gPlugin.MainPopup, kTimerMainCoverWatch));

    gSettings.Set(OptionId::DisableVemos, true);
    ShowPopup("Song");
    ShowLevelPopup(50, " Volume ", "% ");
    ShowMultiLinePopup("\rPath: x", "File info:", '\r');
    EXPECT_TRUE(gPopup.CurrentPopupText.empty());
    EXPECT_TRUE(gPopup.LastInfoBody.empty());
    EXPECT_TRUE(gPopup.LastLevelPrefix.empty());
    EXPECT_FALSE(Visible(gPlugin.MainPopup));
    EXPECT_FALSE(Visible(gPlugin.InfoPopup));
}

TEST_F(PopupTest, LevelDisplayUnderDisabledDrawsNothingButRemembers) {
    gSettings.Set(OptionId::Disabled, true);
    gPopup.HintArmed = true;
    ShowLevelPopup(70, " Seek to ", " ");
    EXPECT_FALSE(Visible(gPlugin.MainPopup));
    EXPECT_TRUE(gPopup.CurrentPopupText.empty());
    EXPECT_FALSE(gPopup.LevelShown);
    EXPECT_FALSE(gPopup.HintArmed);
    EXPECT_EQ(gPopup.LastLevelPrefix, " Seek to ");
    EXPECT_EQ(gPopup.LastLevelSuffix, " ");
    EXPECT_EQ(gPopup.LastLevel, 70);
}

TEST_F(PopupTest, FullScreenWindowAboveBlocksEveryShow) {
    OtherWindow fullScreen({0, 0, ScreenW(), ScreenH()}, true);
    ShowPopup("Song");
    ShowLevelPopup(50, " Volume ", "% ");
    ShowMultiLinePopup("\rPath: x", "File info:", '\r');
    EXPECT_FALSE(Visible(gPlugin.MainPopup));
    EXPECT_FALSE(Visible(gPlugin.InfoPopup));
    EXPECT_TRUE(gPopup.CurrentPopupText.empty());
    EXPECT_TRUE(gPopup.LastInfoBody.empty());
}

// A full-screen window that is not always-on-top lies below the popups; in the
// foreground it still keeps every one of them away, as the system's word that the user
// is presenting does.
TEST_F(PopupTest, FullScreenForegroundWindowOrPresentationBlocksEveryShow) {
    for (const bool presenting : {false, true}) {
        SCOPED_TRACE(presenting ? "presenting" : "full screen in front");
        OtherWindow front(presenting ? RECT{50, 50, 250, 250} : RECT{0, 0, ScreenW(), ScreenH()}, false);
        SetForegroundWindow(front.Handle());
        Effects().UserNotificationState = presenting ? +[] { return kUserPresenting; } : +[] { return 0; };
        ShowPopup("Song");
        ShowLevelPopup(50, " Volume ", "% ");
        ShowMultiLinePopup("\rPath: x", "File info:", '\r');
        EXPECT_FALSE(Visible(gPlugin.MainPopup));
        EXPECT_FALSE(Visible(gPlugin.InfoPopup));
        EXPECT_TRUE(gPopup.CurrentPopupText.empty());
    }
    // Once it is gone, they show again.
    Effects().UserNotificationState = [] { return 0; };
    ShowPopup("Song");
    EXPECT_TRUE(Visible(gPlugin.MainPopup));
}

TEST_F(PopupTest, LevelDisplayRepaintsOnlyWhatChanged) {
    gPopup.HintArmed = true;
    ShowLevelPopup(56, " Volume ", "% ");
    EXPECT_EQ(gPopup.CurrentPopupText, " Volume 56% ");
    EXPECT_TRUE(gPopup.LevelShown);
    EXPECT_FALSE(gPopup.HintArmed);
    const SIZE prefix = MeasureBold(" Volume ");
    const SIZE total = MeasureBold(" Volume % ");
    const PopupPlace place = PlaceOf(gPlugin.MainPopup);
    EXPECT_EQ(place, LevelPopupPlace(ScreenW(), ScreenH(), total.cx, total.cy, kLevelBarSlot, kBaseDpi));

    const int height = place.Height;
    const RECT prefixCell{3, 3, 2 + prefix.cx, height - 2};
    const RECT barCell{2 + prefix.cx, 2, 2 + prefix.cx + 80, height - 2};
    const RECT suffixCell{2 + prefix.cx + 82, 3, place.Width - 3, height - 2};
    const RECT edge{0, 0, place.Width, 1};
    const RECT client{0, 0, place.Width, height};

    // Only the level changes: the bar and the edge are drawn again, nothing else.
    Mark(gPlugin.MainPopup, client);
    ShowLevelPopup(60, " Volume ", "% ");
    EXPECT_EQ(gPopup.CurrentPopupText, " Volume 60% ");
    EXPECT_TRUE(AllMarked(gPlugin.MainPopup, prefixCell));
    EXPECT_TRUE(AllMarked(gPlugin.MainPopup, suffixCell));
    EXPECT_FALSE(AnyMarked(gPlugin.MainPopup, edge));
    EXPECT_FALSE(AllMarked(gPlugin.MainPopup, barCell));

    // The same level again: only the edge.
    Mark(gPlugin.MainPopup, client);
    ShowLevelPopup(60, " Volume ", "% ");
    EXPECT_TRUE(AllMarked(gPlugin.MainPopup, barCell));
    EXPECT_FALSE(AnyMarked(gPlugin.MainPopup, edge));

    // Another suffix: the suffix too.
    Mark(gPlugin.MainPopup, client);
    ShowLevelPopup(60, " Volume ", "%!");
    EXPECT_FALSE(AllMarked(gPlugin.MainPopup, suffixCell));
    EXPECT_TRUE(AllMarked(gPlugin.MainPopup, prefixCell));

    // A text display in between: everything is drawn again.
    ShowPopup("x");
    EXPECT_FALSE(gPopup.LevelShown);
    ShowLevelPopup(60, " Volume ", "%!");
    const PopupPlace again = PlaceOf(gPlugin.MainPopup);
    Mark(gPlugin.MainPopup, {0, 0, again.Width, again.Height});
    ShowLevelPopup(60, " Seek to ", "%!");
    const SIZE seek = MeasureBold(" Seek to ");
    EXPECT_FALSE(AllMarked(gPlugin.MainPopup, {3, 3, 2 + seek.cx, again.Height - 2}));
}

// Text wider than 16 bits can count: held in 16 bits, the width would wrap negative
// and the popup would be thrown far off to the right instead of centred.
TEST_F(PopupTest, LevelDisplayWiderThan16BitsStaysCentred) {
    const std::string suffix(4000, 'W');
    const SIZE total = MeasureBold(" Volume " + suffix);
    ASSERT_GT(total.cx, 32767);
    ShowLevelPopup(50, " Volume ", suffix);
    const int expectedLeft = (ScreenW() - 80 - total.cx - 4) / 2;
    EXPECT_EQ(PlaceOf(gPlugin.MainPopup).Left, expectedLeft);
    EXPECT_LT(expectedLeft, 0);
}

// Without MainPopup no timer may start: SetTimer for no window makes a new thread
// timer each time, which would then fire into the player's message loop.
TEST_F(PopupTest, NoTimerWithoutMainPopup) {
    const HWND popup = std::exchange(gPlugin.MainPopup, nullptr);
    ArmHideTimer(1);
    ArmInfoHideTimer(1);
    StartTimer(kTimerMainCoverWatch, 1);
    Sleep(30);
    bool threadTimer = false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) threadTimer = threadTimer || !msg.hwnd;
    gPlugin.MainPopup = popup;
    EXPECT_FALSE(threadTimer);
}

TEST_F(PopupTest, LevelBarIsDrawnInBlackAndWhiteSquares) {
    // Ten black squares are darker overall than ten white ones: read back the ink.
    auto inkOfBar = [](uint8_t level) {
        ShowLevelPopup(level, " Volume ", "% ");
        const SIZE prefix = MeasureBold(" Volume ");
        const PopupPlace place = PlaceOf(gPlugin.MainPopup);
        int ink = 0;
        for (int y = 2; y < place.Height - 2; ++y) {
            for (int x = 2 + prefix.cx; x < 2 + prefix.cx + 80; ++x) {
                ink += PixelAt(gPlugin.MainPopup, x, y) == GetSysColor(COLOR_INFOTEXT) ? 1 : 0;
            }
        }
        return ink;
    };
    const int none = inkOfBar(9);
    const int half = inkOfBar(56);
    const int all = inkOfBar(100);
    EXPECT_GT(none, 0);
    EXPECT_LT(none, half);
    EXPECT_LT(half, all);
    EXPECT_EQ(inkOfBar(0), none);
}

TEST_F(PopupTest, MultiLinePopupLaysOutEveryLineUnderItsCaption) {
    const std::string body = "\rPath: C:\\Music\\a.mp3\r\rSize: 4 MB\r";
    ShowMultiLinePopup(body, "File info:", '\r');
    ASSERT_TRUE(Visible(gPlugin.InfoPopup));
    EXPECT_EQ(gPopup.LastInfoBody, body);
    EXPECT_EQ(gPopup.LastInfoTitle, "File info:");
    EXPECT_TRUE(TakeTimer(gPlugin.MainPopup, kTimerInfoCoverWatch));
    EXPECT_FALSE(gPopup.EraseAllowed);
    // Five lines, the empty and the trailing ones included; the widest sets the width.
    const SIZE widest = MeasureBold(" Path: C:\\Music\\a.mp3 ");
    EXPECT_EQ(PlaceOf(gPlugin.InfoPopup), MultiLinePopupPlace(ScreenW(), ScreenH(), widest.cx, 5 * widest.cy, kBaseDpi));
    // The caption rule runs through the first line, left of the caption.
    EXPECT_EQ(PixelAt(gPlugin.InfoPopup, 7, widest.cy / 2 + 2), GetSysColor(COLOR_INFOTEXT));

    // A caption wider than every line widens the popup; a body cut at its NUL.
    const std::string caption = "A rather long caption for a short body";
    ShowMultiLinePopup(std::string("x\0hidden", 8), caption, '\r');
    EXPECT_EQ(gPopup.LastInfoBody, "x");
    const SIZE captionSize = MeasureBold(" " + caption + " ");
    EXPECT_EQ(PlaceOf(gPlugin.InfoPopup), MultiLinePopupPlace(ScreenW(), ScreenH(), captionSize.cx, captionSize.cy, kBaseDpi));

    // The same content while shown is not drawn again.
    const PopupPlace place = PlaceOf(gPlugin.InfoPopup);
    Mark(gPlugin.InfoPopup, {0, 0, place.Width, place.Height});
    ShowMultiLinePopup("x", caption, '\r');
    EXPECT_TRUE(AllMarked(gPlugin.InfoPopup, {0, 0, place.Width, 2}));

    // Taller than the screen: it runs off the top.
    std::string tall;
    for (int i = 0; i < 80; ++i) tall += "line\r";
    ShowMultiLinePopup(tall, "", '\r');
    EXPECT_LT(WindowRect(gPlugin.InfoPopup).top, 0);
    EXPECT_EQ(WindowRect(gPlugin.InfoPopup).bottom, ScreenH() - 8 + 4);
}

TEST_F(PopupTest, MultiLineWithOnlyACaptionShowsNothing) {
    ShowMultiLinePopup("", "File info:", '\r');
    EXPECT_FALSE(Visible(gPlugin.InfoPopup));
    EXPECT_TRUE(gPopup.LastInfoTitle.empty());
    ShowMultiLinePopup(std::string("\0rest", 5), "File info:", '\r');
    EXPECT_FALSE(Visible(gPlugin.InfoPopup));
}

TEST_F(PopupTest, ThePopupsExcludeEachOther) {
    ShowMultiLinePopup("one\rtwo", "", '\r');
    EXPECT_TRUE(Visible(gPlugin.InfoPopup));
    ShowPopup("Song");
    EXPECT_FALSE(Visible(gPlugin.InfoPopup));
    EXPECT_TRUE(Visible(gPlugin.MainPopup));
    ShowMultiLinePopup("one\rtwo", "", '\r');
    EXPECT_FALSE(Visible(gPlugin.MainPopup));
    EXPECT_TRUE(Visible(gPlugin.InfoPopup));
}

TEST_F(PopupTest, BackgroundIsErasedOnlyWhenAllowed) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 8, 8};
    GdiObject<HBRUSH> marker(CreateSolidBrush(kMarker));
    FillRect(dc, &all, marker.Get());
    ShowMultiLinePopup("one\rtwo", "", '\r');  // made at its first show
    EXPECT_EQ(SendMessageA(gPlugin.InfoPopup, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    EXPECT_EQ(GetPixel(dc, 4, 4), kMarker);
    gPopup.EraseAllowed = true;
    SendMessageA(gPlugin.InfoPopup, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    gPopup.EraseAllowed = false;
    EXPECT_EQ(GetPixel(dc, 4, 4), GetSysColor(COLOR_INFOBK));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST_F(PopupTest, CoverWatchHidesACoveredPopupAndEndsItsHideTimer) {
    ShowPopup("Covered soon");
    ArmHideTimer(10000);
    gSongWatch.TitleChangeCount = 5;
    gPopup.LiveRefresh = true;
    const RECT popup = WindowRect(gPlugin.MainPopup);
    // Beside the popup it does nothing.
    OtherWindow other({0, 0, 50, 50}, true);
    EXPECT_FALSE(PumpUntil([] { return !Visible(gPlugin.MainPopup); }, 150));
    // Over it, the popup goes within a few periods and takes its hide timer with it.
    SetWindowPos(other.Handle(), HWND_TOPMOST, popup.left + 5, popup.top - 5, 50, 50, SWP_NOACTIVATE);
    EXPECT_TRUE(PumpUntil([] { return !Visible(gPlugin.MainPopup); }, 1000));
    EXPECT_FALSE(TakeTimer(gPlugin.MainPopup, kTimerHideMainPopup));
    EXPECT_FALSE(TakeTimer(gPlugin.MainPopup, kTimerMainCoverWatch));
    EXPECT_EQ(gSongWatch.TitleChangeCount, 0);
    EXPECT_FALSE(gPopup.LiveRefresh);

    // InfoPopup likewise, with its own timers.
    ShowMultiLinePopup("one\rtwo", "", '\r');
    ArmInfoHideTimer(10000);
    const RECT info = WindowRect(gPlugin.InfoPopup);
    OtherWindow infoCover({info.left + 5, info.top - 5, info.left + 55, info.top + 45}, true);
    EXPECT_TRUE(PumpUntil([] { return !Visible(gPlugin.InfoPopup); }, 1000));
    EXPECT_FALSE(TakeTimer(gPlugin.MainPopup, kTimerHideInfoPopup));
    EXPECT_FALSE(TakeTimer(gPlugin.MainPopup, kTimerInfoCoverWatch));
}

TEST_F(PopupTest, ClicksPassThroughToTheWindowUnderneath) {
    const struct {
        const char* Name;
        DWORD Down;
        DWORD Up;
        UINT DownMessage;
        UINT UpMessage;
    } buttons[] = {
        {"left", MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, WM_LBUTTONDOWN, WM_LBUTTONUP},
        {"right", MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, WM_RBUTTONDOWN, WM_RBUTTONUP},
        {"middle", MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, WM_MBUTTONDOWN, WM_MBUTTONUP},
    };
    OtherWindow beneath({200, ScreenH() - 200, ScreenW() - 200, ScreenH()}, false);
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.Name);
        beneath.Buttons.clear();
        ShowPopup("Click through me");
        ArmHideTimer(10000);
        gPopup.LiveRefresh = true;
        const RECT r = WindowRect(gPlugin.MainPopup);
        const POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        SetCursorPos(at.x, at.y);
        PumpUntil([] { return false; }, 50);
        mouse_event(b.Down, 0, 0, 0, 0);
        mouse_event(b.Up, 0, 0, 0, 0);
        auto& got = beneath.Buttons;
        ASSERT_TRUE(PumpUntil([&] { return got.size() >= 2; }, 5000)) << got.size();
        EXPECT_FALSE(Visible(gPlugin.MainPopup));
        EXPECT_FALSE(TakeTimer(gPlugin.MainPopup, kTimerHideMainPopup));
        EXPECT_FALSE(gPopup.LiveRefresh);
        ASSERT_EQ(got.size(), 2u);
        EXPECT_EQ(got[0].Message, b.DownMessage);
        EXPECT_EQ(got[1].Message, b.UpMessage);
        for (const auto& g : got) {
            EXPECT_EQ(g.Screen.x, at.x);
            EXPECT_EQ(g.Screen.y, at.y);
        }
        EXPECT_FALSE(gPopup.PendingLeftClick || gPopup.PendingMiddleClick || gPopup.PendingRightClick);
    }
}

TEST_F(PopupTest, HintTimerHidesTheHintWhenTheCursorLeavesItsCheckBox) {
    OtherWindow box({10, 10, 110, 30}, false);
    WatchHintCheckBox(6, box.Handle());
    ShowMultiLinePopup("A hint", "", '\r');
    SetCursorPos(50, 20);
    SetTimer(gPlugin.MainPopup, 6, kHintWatchPeriodMs, nullptr);
    EXPECT_FALSE(PumpUntil([] { return !Visible(gPlugin.InfoPopup); }, 200));
    EXPECT_TRUE(TakeTimer(gPlugin.MainPopup, 6));
    SetCursorPos(500, 300);
    // Ids without an action leave the hint up.
    for (WPARAM id : {0, 3, 17}) SendMessageA(gPlugin.MainPopup, WM_TIMER, id, 0);
    EXPECT_TRUE(Visible(gPlugin.InfoPopup));
    SetTimer(gPlugin.MainPopup, 6, kHintWatchPeriodMs, nullptr);
    EXPECT_TRUE(PumpUntil([] { return !Visible(gPlugin.InfoPopup); }, 1000));
    EXPECT_FALSE(TakeTimer(gPlugin.MainPopup, 6));
}

}  // namespace
}  // namespace vemo::test
