#include "popup/popup_draw.h"

#include "win/scoped_win.h"

namespace vemo {

namespace {

// Text goes on opaque cells in the tooltip colours, so each draw covers what was there.
void UseInfoColours(HDC dc) {
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    SetBkColor(dc, GetSysColor(COLOR_INFOBK));
    SetBkMode(dc, OPAQUE);
}

void DrawTextAt(HDC dc, HFONT font, int x, int y, const std::wstring& text) {
    ScopedSelectObject select(dc, font);
    TextOutW(dc, x, y, text.data(), static_cast<int>(text.size()));
}

void DrawRaisedEdge(HDC dc, int width, int height) {
    RECT client{0, 0, width, height};
    DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
}

}  // namespace

void DrawLinePopup(HDC dc, const LineDrawing& d) {
    UseInfoColours(dc);
    DrawTextAt(dc, d.Font, kPopupEdge, kPopupEdge, d.Padded);
    DrawRaisedEdge(dc, d.Text.cx + 2 * kPopupEdge, d.Text.cy + 2 * kPopupEdge);
}

void DrawLevelPopup(HDC dc, const LevelDrawing& d) {
    UseInfoColours(dc);
    if (d.Parts.Prefix) DrawTextAt(dc, d.TextFont, kPopupEdge, kPopupEdge, d.Prefix);
    // The bar's font is taller than the text's: it starts at the very top.
    if (d.Parts.Bar) DrawTextAt(dc, d.BarFont, kPopupEdge + d.PrefixWidth, 0, d.Bar);
    DrawRaisedEdge(dc, d.Client.cx, d.Client.cy);
    if (d.Parts.Suffix) DrawTextAt(dc, d.TextFont, kPopupEdge + d.PrefixWidth + d.BarSlot, kPopupEdge, d.Suffix);
}

void DrawMultiLinePopup(HDC dc, const MultiLineDrawing& d) {
    const int lineCount = static_cast<int>(d.PaddedLines.size());
    DrawRaisedEdge(dc, d.MaxWidth + 2 * kPopupEdge, d.LineHeight * lineCount + 2 * kPopupEdge);
    UseInfoColours(dc);
    for (int k = 0; k < lineCount; ++k) {
        DrawTextAt(dc, d.Font, kPopupEdge, kPopupEdge + k * d.LineHeight, d.PaddedLines[static_cast<size_t>(k)]);
    }
    if (d.PaddedCaption.empty()) return;
    // The caption sits centred on the first line and interrupts the rule drawn through it.
    const int ruleY = d.LineHeight / 2 + kPopupEdge;
    {
        ScopedSelectObject pen(dc, d.RulePen);
        MoveToEx(dc, d.RuleLeft, ruleY, nullptr);
        LineTo(dc, d.MaxWidth - kPopupEdge, ruleY);
    }
    DrawTextAt(dc, d.Font, d.MaxWidth / 2 - d.CaptionWidth / 2 + kPopupEdge, kPopupEdge, d.PaddedCaption);
}

}  // namespace vemo
