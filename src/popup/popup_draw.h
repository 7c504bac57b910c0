// The content of the popups, drawn into any device context: the popup's own when it is
// shown, a memory one in tests. Placement is done before, by the show operations. The
// texts are wide, as measured: the width of a popup comes from exactly what it draws.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "popup/popup_layout.h"

namespace vemo {

struct LineDrawing {
    HFONT Font = nullptr;
    std::wstring Padded;  // the text with its blanks
    SIZE Text{};         // its measured size
};

struct LevelDrawing {
    HFONT TextFont = nullptr;
    HFONT BarFont = nullptr;
    std::wstring Prefix;
    std::wstring Suffix;
    std::wstring Bar;
    int PrefixWidth = 0;
    int BarSlot = kLevelBarSlot;  // at the popup's DPI
    SIZE Client{};
    LevelRepaint Parts;
};

struct MultiLineDrawing {
    HFONT Font = nullptr;
    HPEN RulePen = nullptr;
    std::vector<std::wstring> PaddedLines;
    std::wstring PaddedCaption;  // empty: no caption
    int MaxWidth = 0;
    int LineHeight = 0;
    int CaptionWidth = 0;
    int RuleLeft = kCaptionRuleLeft;  // at the popup's DPI
};

// The text cell and the edge together cover the whole window, so nothing else is drawn.
void DrawLinePopup(HDC dc, const LineDrawing& d);
// Only the parts d.Parts asks for, and the edge.
void DrawLevelPopup(HDC dc, const LevelDrawing& d);
// Over a background already erased: edge, lines, then the caption rule and the caption.
void DrawMultiLinePopup(HDC dc, const MultiLineDrawing& d);

}  // namespace vemo
