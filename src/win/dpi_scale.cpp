#include "win/dpi_scale.h"

#include "win/shared_texts.h"

namespace vemo {

namespace {

using DpiForWindow = UINT(WINAPI*)(HWND);
using MetricsForDpi = int(WINAPI*)(int, UINT);

// The per-window calls came with Windows 10 (1607); before that there is one DPI for
// the whole screen.
struct DpiCalls {
    DpiForWindow ForWindow = nullptr;
    MetricsForDpi Metrics = nullptr;
};

const DpiCalls& Calls() {
    static const DpiCalls calls = [] {
        DpiCalls found;
        if (HMODULE user = GetModuleHandleW(L"user32.dll")) {
            found.ForWindow =
                reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")));
            found.Metrics = reinterpret_cast<MetricsForDpi>(
                reinterpret_cast<void*>(GetProcAddress(user, "GetSystemMetricsForDpi")));
        }
        return found;
    }();
    return calls;
}

int gDpiForTests = 0;

int ScreenDpi() {
    ScopedGetDC screen(nullptr);
    const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kBaseDpi;
}

// Shared by every font of the plug-in. The default character set lets the system pick
// glyphs for any script: the texts are drawn wide, never through a code page.
HFONT MakeFont(int height96, int weight, const wchar_t* face, int dpi) {
    return CreateFontW(ScaleToDpi(height96, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH | FF_SWISS, face);
}

}  // namespace

RECT ScaleRectToDpi(const RECT& rect, int dpi) {
    return {ScaleToDpi(rect.left, dpi), ScaleToDpi(rect.top, dpi), ScaleToDpi(rect.right, dpi),
            ScaleToDpi(rect.bottom, dpi)};
}

int WindowDpi(HWND window) {
    if (gDpiForTests > 0) return gDpiForTests;
    if (window && Calls().ForWindow) {
        if (const UINT dpi = Calls().ForWindow(window)) return static_cast<int>(dpi);
    }
    return ScreenDpi();
}

int SystemMetricAt(int index, int dpi) {
    if (Calls().Metrics && gDpiForTests == 0) return Calls().Metrics(index, static_cast<UINT>(dpi));
    // The system's figure is at the screen's DPI.
    const int screen = ScreenDpi();
    const int metric = GetSystemMetrics(index);
    return dpi == screen ? metric : MulDiv(metric, dpi, screen);
}

void SetDpiForTests(int dpi) { gDpiForTests = dpi; }

const FontSet& FontCache::At(int dpi) {
    if (const FontSet* made = Find(dpi)) return *made;
    FontSet& set = sets_.emplace_back();
    set.Dpi = dpi;
    set.Title.Reset(MakeFont(-25, FW_DONTCARE, kTitleFontFace, dpi));
    set.Text.Reset(MakeFont(-11, FW_DONTCARE, kTextFontFace, dpi));
    set.Bold.Reset(MakeFont(-11, FW_BOLD, kTextFontFace, dpi));
    set.LevelBar.Reset(MakeFont(-14, FW_BOLD, kTextFontFace, dpi));
    return set;
}

const FontSet* FontCache::Find(int dpi) const {
    for (const FontSet& set : sets_) {
        if (set.Dpi == dpi) return &set;
    }
    return nullptr;
}

}  // namespace vemo
