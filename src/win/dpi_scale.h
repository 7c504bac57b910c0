// The scale of the plug-in's windows. Every length in the code is the 96-DPI figure; the
// DPI of the window it is drawn in decides what it becomes, through this one helper:
// lengths, rectangles, system metrics and the fonts.
#pragma once

#include <windows.h>

#include <deque>

#include "win/scoped_win.h"

namespace vemo {

constexpr int kBaseDpi = 96;

// A 96-DPI length at dpi, rounded as the system rounds (half away from zero), so that a
// figure here matches what the system makes of the same figure in its own dialogs.
constexpr int ScaleToDpi(int length, int dpi) {
    const long long product = static_cast<long long>(length) * dpi;
    const long long half = kBaseDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kBaseDpi : (product - half) / kBaseDpi);
}

// Each of the four figures scaled on its own: the edges of a rectangle, or a control's
// left, top, width and height, as dialog units are.
RECT ScaleRectToDpi(const RECT& rect, int dpi);

// The DPI the window is drawn at: the system's per-window DPI where the system has one
// (asked for at run time, so the plug-in still loads on older systems), else the
// screen's. A null window gives the DPI of the primary screen.
int WindowDpi(HWND window);
// A system metric (SM_CYSMCAPTION, SM_CXSMICON...) at dpi.
int SystemMetricAt(int index, int dpi);

// Tests: every window is taken to be at dpi (0: as the system says).
void SetDpiForTests(int dpi);

// The plug-in's fonts at one DPI.
struct FontSet {
    int Dpi = 0;
    GdiObject<HFONT> Title;     // configuration window title layers
    GdiObject<HFONT> Text;      // help text, folder field and its label, the hotkeys list
    GdiObject<HFONT> Bold;      // popup text, group boxes, check boxes, buttons
    GdiObject<HFONT> LevelBar;  // the squares of the level bar
};

// The fonts at every DPI asked for so far, made at the first asking and kept until
// Clear: a control keeps drawing with the font it was given, so a font is never
// deleted while a window may still hold it. A process sees one DPI per monitor.
class FontCache {
public:
    const FontSet& At(int dpi);
    // The set at dpi if it was made, else null.
    const FontSet* Find(int dpi) const;
    bool Empty() const { return sets_.empty(); }
    void Clear() { sets_.clear(); }

private:
    std::deque<FontSet> sets_;  // a deque: references stay valid as sets are added
};

}  // namespace vemo
