#include "config/config_draw.h"

#include <algorithm>
#include <iterator>

#include "text/unicode.h"
#include "win/module_state.h"
#include "win/scoped_win.h"

namespace vemo {

namespace {

// Check box: the square's inset from the client edge, and the tick's inset inside it.
constexpr int kBoxInset = 3;
constexpr int kTickInset = 3;
constexpr RECT kLabelWindow{17, 2, 206, 15};

// Push button: the focus edge's inset; how far the text moves while pressed.
constexpr int kFocusInset = 4;
constexpr int kPressedShiftX = 1;
constexpr int kPressedShiftY = 2;

// The cut corners of the window's region, traced again so the diagonal edges look raised.
constexpr int kCorner = 14;
// The caption's text stands this far above the caption's middle.
constexpr int kCaptionTextRaise = 4;

RECT Inset(RECT r, int by) {
    InflateRect(&r, -by, -by);
    return r;
}

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

// Centred text, drawn twice: a shadow down and to the right, the text up and to the left.
void DrawEmbossedText(HDC dc, RECT area, const std::string& utf8, int offset) {
    const std::wstring text = ToWide(utf8);
    SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    RECT shadow = area;
    OffsetRect(&shadow, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &shadow, format);
    RECT face = area;
    OffsetRect(&face, -offset, -offset);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &face, format);
}

}  // namespace

RECT CheckBoxLabelWindow(int dpi) { return ScaleRectToDpi(kLabelWindow, dpi); }

void DrawCheckBox(HDC dc, const CheckBoxLook& look) {
    // Everything but the label's rectangle, so the label beneath stays visible.
    const RECT label = CheckBoxLabelWindow(look.Dpi);
    ExcludeClipRect(dc, label.left, label.top, label.right, label.bottom);
    FillRect(dc, &look.Client, look.Face);
    SelectClipRgn(dc, nullptr);
    const int side = look.Client.bottom - look.Client.top;
    RECT box = Inset(RECT{0, 0, side, side}, ScaleToDpi(kBoxInset, look.Dpi));
    DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
    if (look.Checked) {
        const RECT tick = Inset(box, ScaleToDpi(kTickInset, look.Dpi));
        FillRect(dc, &tick, look.Shadow);
    }
    if (look.Focused) {
        RECT all = look.Client;
        DrawEdge(dc, &all, EDGE_ETCHED, BF_RECT);
    }
}

void DrawPushButton(HDC dc, const PushButtonLook& look) {
    RECT r = look.Client;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    RECT inner = Inset(r, 1);
    if (look.Pressed) {
        DrawEdge(dc, &inner, BDR_SUNKENOUTER, BF_RECT);
        RECT raised = Inset(inner, 1);
        DrawEdge(dc, &raised, BDR_RAISEDINNER, BF_RECT);
        DrawEdge(dc, &raised, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM);
    } else {
        DrawEdge(dc, &inner, BDR_RAISEDINNER, BF_RECT);
        RECT second = Inset(inner, 1);
        DrawEdge(dc, &second, BDR_RAISEDINNER, BF_RECT);
    }
    if (look.Focused) {
        RECT focus = Inset(r, ScaleToDpi(kFocusInset, look.Dpi));
        DrawEdge(dc, &focus, EDGE_ETCHED, BF_RECT);
    }
    RECT text = r;
    if (look.Pressed) OffsetRect(&text, ScaleToDpi(kPressedShiftX, look.Dpi), ScaleToDpi(kPressedShiftY, look.Dpi));
    ScopedSelectObject font(dc, look.Font);
    DrawEmbossedText(dc, text, look.Text, look.Pressed ? 2 : 1);
}

void DrawCaptionAndFrame(HDC dc, const CaptionLook& look) {
    const DrawingSet& d = gPlugin.Drawing;
    const int f = look.DialogFrame;
    {
        ScopedSelectObject brush(dc, look.Active ? d.InfoBackgroundBrush.Get() : d.InactiveCaptionBrush.Get());
        ScopedSelectObject pen(dc, look.Active ? d.InfoBackgroundPen.Get() : d.InactiveCaptionPen.Get());
        Rectangle(dc, f, f, look.Window.cx - f, look.SmallCaption + f);
    }
    {
        ScopedSelectObject font(dc, look.Font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(look.Active ? COLOR_INFOTEXT : COLOR_INACTIVECAPTIONTEXT));
        const std::wstring text = ToWide(look.Text);
        TextOutW(dc, look.TextX, look.SmallCaption / 2 - ScaleToDpi(kCaptionTextRaise, look.Dpi), text.c_str(),
                 static_cast<int>(text.size()));
    }
    RECT all{0, 0, look.Window.cx, look.Window.cy};
    DrawEdge(dc, &all, EDGE_RAISED, BF_RECT);
    const RECT frame = Inset(all, 2);
    FrameRect(dc, &frame, d.ButtonFaceBrush.Get());
    const int corner = ScaleToDpi(kCorner, look.Dpi);
    const int right = look.Window.cx - 1;  // the window's last column
    {
        ScopedSelectObject pen(dc, d.ButtonFacePen.Get());
        Line(dc, 0, corner, corner, 0);
        Line(dc, 2, corner, corner, 2);
        Line(dc, right - corner, 0, right, corner);
        Line(dc, right - corner, 1, right - 1, corner);
        Line(dc, right - corner, 2, right - 2, corner);
    }
    ScopedSelectObject pen(dc, d.ButtonHighlightPen.Get());
    Line(dc, 1, corner, corner, 1);
}

void MoveFocusAmong(std::span<const HWND> stops, HWND from, bool forward) {
    const auto at = std::find(stops.begin(), stops.end(), from);
    if (at == stops.end()) return;
    const size_t n = stops.size();
    const size_t index = static_cast<size_t>(at - stops.begin());
    SetFocus(stops[(index + (forward ? 1 : n - 1)) % n]);
}

void PaintCaptionAndFrame(HWND window, bool active, int textX, const char* text) {
    RECT r{};
    GetWindowRect(window, &r);
    HDC dc = GetWindowDC(window);
    if (!dc) return;
    const int dpi = WindowDpi(window);
    CaptionLook look;
    look.Window = {r.right - r.left, r.bottom - r.top};
    look.SmallCaption = SystemMetricAt(SM_CYSMCAPTION, dpi);
    look.DialogFrame = SystemMetricAt(SM_CXDLGFRAME, dpi);
    look.Active = active;
    look.Font = gPlugin.Fonts.At(dpi).Bold.Get();
    look.TextX = ScaleToDpi(textX, dpi);
    if (textX == kCentredCaption) {
        ScopedSelectObject font(dc, look.Font);
        const std::wstring wide = ToWide(text);
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        look.TextX = (look.Window.cx - size.cx) / 2;
    }
    look.Text = text;
    look.Dpi = dpi;
    DrawCaptionAndFrame(dc, look);
    ReleaseDC(window, dc);
}

HRGN CutCornerRegion(int width, int height, int dpi) {
    const int corner = ScaleToDpi(kCorner, dpi);
    const POINT corners[] = {{0, corner}, {corner, 0}, {width - corner, 0}, {width, corner}, {width, height}, {0, height}};
    return CreatePolygonRgn(corners, static_cast<int>(std::size(corners)), WINDING);
}

}  // namespace vemo
