// The popups at the common scales (100, 125, 150 and 200 %): the rounding every length
// goes through, the fonts, and each popup's size and place measured in the font of its
// DPI, so that nothing is cut and the gap to the screen's edge grows with the text.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "popup/popup_layout.h"
#include "popup/popup_window.h"
#include "support/plugin_fixture.h"
#include "text/unicode.h"
#include "win/dpi_scale.h"
#include "win/module_state.h"
#include "win/scoped_win.h"

namespace vemo::test {
namespace {

constexpr int kScales[] = {96, 120, 144, 192};

TEST(ScaleToDpi, RoundsAsTheSystemDoes) {
    for (const int dpi : kScales) {
        for (const int length : {-25, -14, -11, -1, 0, 1, 2, 3, 5, 7, 8, 13, 14, 17, 80, 199, 464, 522}) {
            EXPECT_EQ(ScaleToDpi(length, dpi), MulDiv(length, dpi, kBaseDpi)) << length << " at " << dpi;
        }
    }
    // Halves go away from zero: -11 at 150 % is -16.5.
    EXPECT_EQ(ScaleToDpi(-11, 144), -17);
    EXPECT_EQ(ScaleToDpi(5, 144), 8);
    const RECT r = ScaleRectToDpi({12, 17, 212, 161}, 120);
    EXPECT_EQ(r.left, 15);
    EXPECT_EQ(r.top, 21);
    EXPECT_EQ(r.right, 265);
    EXPECT_EQ(r.bottom, 201);
}

TEST(FontCache, OneSetPerDpiKeptUntilCleared) {
    FontCache fonts;
    const HFONT at96 = fonts.At(96).Bold.Get();
    const HFONT at144 = fonts.At(144).Bold.Get();
    EXPECT_NE(at96, at144);
    EXPECT_EQ(fonts.At(96).Bold.Get(), at96) << "made once, then kept";
    EXPECT_EQ(fonts.Find(120), nullptr);
    for (const int dpi : kScales) {
        const FontSet& set = fonts.At(dpi);
        const struct {
            HFONT Font;
            int Height96;
        } cases[] = {{set.Title.Get(), -25}, {set.Text.Get(), -11}, {set.Bold.Get(), -11}, {set.LevelBar.Get(), -14}};
        for (const auto& c : cases) {
            LOGFONTW font{};
            ASSERT_TRUE(GetObjectW(c.Font, sizeof font, &font));
            EXPECT_EQ(font.lfHeight, ScaleToDpi(c.Height96, dpi)) << dpi;
        }
    }
    fonts.Clear();
    EXPECT_TRUE(fonts.Empty());
}

class PopupScaleTest : public PopupTest {
protected:
    void TearDown() override {
        SetDpiForTests(0);
        PopupTest::TearDown();
    }
};

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

SIZE Measure(HWND window, HFONT font, const std::string& text) {
    const std::wstring wide = ToWide(text);
    ScopedGetDC dc(window);
    ScopedSelectObject selected(dc.Get(), font);
    SIZE size{};
    GetTextExtentPoint32W(dc.Get(), wide.data(), static_cast<int>(wide.size()), &size);
    return size;
}

// Each popup kind at each scale: the window is exactly the text measured in the font of
// that DPI, plus the edge; it stands the scaled gap above the bottom of the screen.
TEST_F(PopupScaleTest, EveryPopupTakesTheSizeOfItsTextAtEachScale) {
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    int lastHeight = 0;
    for (const int dpi : kScales) {
        SCOPED_TRACE(dpi);
        SetDpiForTests(dpi);
        const HFONT bold = gPlugin.Fonts.At(dpi).Bold.Get();

        ShowPopup("Artist - Song");
        const SIZE line = Measure(gPlugin.MainPopup, bold, " Artist - Song ");
        const RECT shown = WindowRect(gPlugin.MainPopup);
        EXPECT_EQ(shown.right - shown.left, line.cx + 2 * kPopupEdge) << "nothing cut, nothing added";
        EXPECT_EQ(shown.bottom - shown.top, line.cy + 2 * kPopupEdge);
        EXPECT_EQ(screenH - shown.bottom + 2 * kPopupEdge, ScaleToDpi(kPopupBottomGap, dpi));
        EXPECT_EQ(shown.left, (screenW - line.cx) / 2);
        EXPECT_GT(shown.bottom - shown.top, lastHeight) << "taller at each larger scale";
        lastHeight = shown.bottom - shown.top;

        ShowLevelPopup(70, "Volume: ", " 70%");
        const SIZE text = Measure(gPlugin.MainPopup, bold, "Volume:  70%");
        const SIZE bar = Measure(gPlugin.MainPopup, gPlugin.Fonts.At(dpi).LevelBar.Get(), FromWide(LevelBar(100)));
        const RECT level = WindowRect(gPlugin.MainPopup);
        EXPECT_EQ(level.right - level.left,
                  text.cx + std::max(ScaleToDpi(kLevelBarSlot, dpi), static_cast<int>(bar.cx)) + 2 * kPopupEdge);

        ShowMultiLinePopup("first line\rsecond, the longer line", "Caption", '\r');
        const SIZE widest = Measure(gPlugin.InfoPopup, bold, " second, the longer line ");
        const RECT info = WindowRect(gPlugin.InfoPopup);
        EXPECT_EQ(info.right - info.left, widest.cx + 2 * kPopupEdge);
        EXPECT_EQ(info.bottom - info.top, 2 * widest.cy + 2 * kPopupEdge);
        EXPECT_EQ(screenH - info.bottom + 2 * kPopupEdge, ScaleToDpi(kPopupBottomGap, dpi));
    }
}

// The bar's font does not scale its squares exactly (their width is rounded from the
// rounded height), so the slot is the bar's own width where that is wider: the suffix
// never lies over the last square. At 96 DPI the slot stays the fixed one.
TEST(LevelBarSlot, TheBarAlwaysFits) {
    EXPECT_EQ(LevelBarSlot(96, 80), 80);
    EXPECT_EQ(LevelBarSlot(96, 70), 80);
    EXPECT_EQ(LevelBarSlot(120, 110), 110);
    EXPECT_EQ(LevelBarSlot(192, 150), 160);
}

// The screen's DPI changes while a popup is up: it is measured and placed again at once,
// whatever it shows, not left at the old size until the next show.
TEST_F(PopupScaleTest, ADpiChangeLaysOutWhatIsShown) {
    const struct {
        const char* What;
        void (*Show)();
        HWND* Popup;
    } cases[] = {
        {"line", [] { ShowPopup("Artist - Song"); }, &gPlugin.MainPopup},
        {"level", [] { ShowLevelPopup(40, "Volume: ", " 40%"); }, &gPlugin.MainPopup},
        {"lines", [] { ShowMultiLinePopup("one\rtwo", "Caption", '\r'); }, &gPlugin.InfoPopup},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        SetDpiForTests(96);
        c.Show();
        const RECT before = WindowRect(*c.Popup);
        SetDpiForTests(144);
        SendMessageW(*c.Popup, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&before));
        const RECT after = WindowRect(*c.Popup);
        EXPECT_TRUE(IsWindowVisible(*c.Popup));
        EXPECT_GT(after.bottom - after.top, (before.bottom - before.top) * 4 / 3);
        EXPECT_GT(after.right - after.left, (before.right - before.left) * 4 / 3);
    }
}

}  // namespace
}  // namespace vemo::test
