// The self-drawn parts of the configuration window: the option check boxes, the push
// buttons and the caption with the frame. Drawing only: what to draw is decided by the
// window, so tests can draw into a memory device context.
#pragma once

#include <windows.h>

#include <string>

namespace vemo {

struct CheckBoxLook {
    RECT Client{};
    bool Checked = false;
    bool Focused = false;
    HBRUSH Face = nullptr;    // the button face around the label
    HBRUSH Shadow = nullptr;  // the tick
};
// The label (a static window beneath) shows through the rectangle (17, 2)-(206, 15).
void DrawCheckBox(HDC dc, const CheckBoxLook& look);

struct PushButtonLook {
    RECT Client{};
    std::string Text;
    bool Pressed = false;
    bool Focused = false;
    HFONT Font = nullptr;
};
void DrawPushButton(HDC dc, const PushButtonLook& look);

struct CaptionLook {
    SIZE Window{};
    int SmallCaption = 0;
    int DialogFrame = 0;  // SM_CXDLGFRAME
    bool Active = false;
    HFONT Font = nullptr;
    int TextX = 0;
    const char* Text = "";
};
// On the window's own device context: the caption bar, its text, the raised frame and
// the cut corners.
void DrawCaptionAndFrame(HDC dc, const CaptionLook& look);

}  // namespace vemo
