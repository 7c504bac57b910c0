#include "popup/popup_layout.h"

#include <algorithm>

#include "popup/popup_texts.h"
#include "win/dpi_scale.h"

namespace vemo {

// Division here truncates toward zero, so a text wider than the screen gets a negative
// left edge and both of its ends run off the screen alike.
PopupPlace LinePopupPlace(int screenWidth, int screenHeight, int textWidth, int textHeight, int dpi) {
    return {(screenWidth - textWidth) / 2, screenHeight - ScaleToDpi(kPopupBottomGap, dpi) - textHeight,
            textWidth + 2 * kPopupEdge, textHeight + 2 * kPopupEdge};
}

PopupPlace LevelPopupPlace(int screenWidth, int screenHeight, int textWidth, int textHeight, int barSlot, int dpi) {
    return {(screenWidth - barSlot - textWidth - 2 * kPopupEdge) / 2,
            screenHeight - ScaleToDpi(kPopupBottomGap, dpi) - textHeight, textWidth + barSlot + 2 * kPopupEdge,
            textHeight + 2 * kPopupEdge};
}

int LevelBarSlot(int dpi, int widestBar) { return std::max(ScaleToDpi(kLevelBarSlot, dpi), widestBar); }

PopupPlace MultiLinePopupPlace(int screenWidth, int screenHeight, int maxLineWidth, int totalHeight, int dpi) {
    return {(screenWidth - maxLineWidth) / 2, screenHeight - ScaleToDpi(kPopupBottomGap, dpi) - totalHeight,
            maxLineWidth + 2 * kPopupEdge, totalHeight + 2 * kPopupEdge};
}

std::wstring LevelBar(uint8_t level) {
    const int full = level / 10;
    std::wstring bar;
    for (int i = 0; i < kLevelBarSquares; ++i) bar += full > i ? kLevelSquareFull : kLevelSquareEmpty;
    return bar;
}

std::vector<std::string> SplitLines(const std::string& body, char separator) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type end = body.find(separator, start);
        if (end == std::string::npos) break;
        lines.push_back(body.substr(start, end - start));
        start = end + 1;
    }
    lines.push_back(body.substr(start));
    return lines;
}

LevelRepaint PlanLevelRepaint(bool fullRedraw, bool levelChanged, bool suffixChanged) {
    return {fullRedraw, fullRedraw || levelChanged, fullRedraw || suffixChanged};
}

}  // namespace vemo
