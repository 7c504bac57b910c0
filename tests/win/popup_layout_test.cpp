// Placement, level bar and line splitting of the popups, from measured sizes alone.
#include <gtest/gtest.h>

#include "popup/popup_layout.h"
#include "win/dpi_scale.h"

namespace vemo {
namespace {

TEST(PopupPlace, OneLineSitsCentredOnTheTextAboveTheBottomEdge) {
    // 100 x 14 of text on 1024 x 768: centred on the text, 8 pixels up, 2-pixel edge.
    EXPECT_EQ(LinePopupPlace(1024, 768, 100, 14, kBaseDpi), (PopupPlace{462, 746, 104, 18}));
    // An odd remainder is truncated.
    EXPECT_EQ(LinePopupPlace(1024, 768, 101, 14, kBaseDpi).Left, 461);
    // Wider than the screen: both ends run off, toward zero rather than floored.
    EXPECT_EQ(LinePopupPlace(1024, 768, 2000, 14, kBaseDpi), (PopupPlace{-488, 746, 2004, 18}));
    EXPECT_EQ(LinePopupPlace(1024, 768, 2001, 14, kBaseDpi).Left, -488);
}

TEST(PopupPlace, LevelDisplayAddsTheBarSlot) {
    // Prefix and suffix together 100 wide: the window is 80 + 4 pixels wider.
    EXPECT_EQ(LevelPopupPlace(1024, 768, 100, 14, kLevelBarSlot, kBaseDpi), (PopupPlace{420, 746, 184, 18}));
    EXPECT_EQ(LevelPopupPlace(1024, 768, 2001, 14, kLevelBarSlot, kBaseDpi).Left, -530);
}

TEST(PopupPlace, MultiLineRunsOffTheTopWhenTaller) {
    EXPECT_EQ(MultiLinePopupPlace(1024, 768, 300, 70, kBaseDpi), (PopupPlace{362, 690, 304, 74}));
    EXPECT_EQ(MultiLinePopupPlace(1024, 768, 300, 1000, kBaseDpi).Top, -240);
}

int FullSquares(const std::wstring& bar) {
    int full = 0;
    for (wchar_t c : bar) full += c == 0x25A0 ? 1 : 0;
    return full;
}

TEST(LevelBar, OneBlackSquarePerFullTen) {
    const struct {
        uint8_t Level;
        int Full;
    } cases[] = {{0, 0}, {9, 0}, {10, 1}, {56, 5}, {99, 9}, {100, 10}, {255, 10}};
    for (const auto& c : cases) {
        const std::wstring bar = LevelBar(c.Level);
        ASSERT_EQ(bar.size(), 10u) << int{c.Level};
        EXPECT_EQ(FullSquares(bar), c.Full) << int{c.Level};
        // Black ones first, the rest white.
        for (size_t i = 0; i < bar.size(); ++i) {
            EXPECT_EQ(bar[i], static_cast<int>(i) < c.Full ? L'\x25A0' : L'\x25A1') << int{c.Level} << " at " << i;
        }
    }
}

TEST(SplitLines, OneLineMoreThanSeparators) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitLines("one", '\r'), Lines{"one"});
    EXPECT_EQ(SplitLines("", '\r'), Lines{""});
    EXPECT_EQ(SplitLines("\rPath: x\r\rlast\r", '\r'), (Lines{"", "Path: x", "", "last", ""}));
    EXPECT_EQ(SplitLines("a\nb", '\r'), Lines{"a\nb"});
}

}  // namespace
}  // namespace vemo
