#include "popup/popup_window.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "popup/popup_draw.h"
#include "popup/popup_layout.h"
#include "popup/popup_texts.h"
#include "popup/track_watcher.h"
#include "popup/window_stack.h"
#include "text/text.h"
#include "text/unicode.h"
#include "win/module_state.h"
#include "win/player_link.h"
#include "win/scoped_win.h"
#include "win/shared_texts.h"

namespace vemo {

namespace {

// Initial place and size of both popups; every show operation moves them.
constexpr int kInitialX = 200;
constexpr int kInitialY = 200;
constexpr int kInitialWidth = 300;
constexpr int kInitialHeight = 100;

// A click is passed on as a full press and release of the same button.
constexpr DWORD kLeftClick = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP;
constexpr DWORD kMiddleClick = MOUSEEVENTF_MIDDLEDOWN | MOUSEEVENTF_MIDDLEUP;
constexpr DWORD kRightClick = MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP;

// The period each timer was last started with, by id; 0 once stopped here.
std::array<UINT, kLastTimerId + 1> gTimerPeriods{};

std::string Padded(const std::string& text) { return kPopupPad + text + kPopupPad; }

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }


// Measured as drawn: the wide text in the popup's font.
SIZE MeasureText(HDC dc, HFONT font, const std::wstring& text) {
    ScopedSelectObject select(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

SIZE MeasureOn(HWND window, HFONT font, const std::wstring& text) {
    ScopedGetDC dc(window);
    return MeasureText(dc.Get(), font, text);
}

void HidePopup(HWND popup) {
    if (popup) ShowWindow(popup, SW_HIDE);
}

// On top of the topmost windows, without taking the focus.
void PlaceAndShow(HWND popup, const PopupPlace& place) {
    SetWindowPos(popup, HWND_TOPMOST, place.Left, place.Top, place.Width, place.Height, SWP_NOACTIVATE);
    if (!IsWindowVisible(popup)) ShowWindow(popup, SW_SHOWNOACTIVATE);
}

// The class brush erases, and only here: everywhere else the popup refuses erasing.
void EraseWithClassBackground(HWND window, HDC dc) {
    gPopup.EraseAllowed = true;
    SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    gPopup.EraseAllowed = false;
}

void OnHideMainPopupTimer() {
    gSongWatch.TitleChangeCount = 0;
    StopTimer(kTimerHideMainPopup);
    HidePopup(gPlugin.MainPopup);
    StopTimer(kTimerMainCoverWatch);
    gPopup.LiveRefresh = false;
}

void OnHideInfoPopupTimer() {
    StopTimer(kTimerHideInfoPopup);
    HidePopup(gPlugin.InfoPopup);
    StopTimer(kTimerInfoCoverWatch);
}

// A popup that something comes to lie over hides instead of fighting for the top.
void OnCoverWatchTimer(HWND popup, UINT_PTR timer, void (*hide)()) {
    if (WindowUncovered(popup)) return;
    StopTimer(timer);
    hide();
}

// The live track display refreshes only while the track information action keeps it
// on, and redraws only when its text changed.
void OnLiveTrackTimer() {
    if (!gPopup.LiveRefresh) return;
    gPopup.TrackDisplayText = ComposeTrackDisplayText();
    if (LiveTrackDisplayShown()) return;
    ShowPopup(gPopup.TrackDisplayText);
}

// Position of a hover-hint timer among the ten, or none for any other id.
std::optional<size_t> HintIndex(UINT_PTR id) {
    const auto found = std::find(kHintTimers.begin(), kHintTimers.end(), id);
    if (found == kHintTimers.end()) return std::nullopt;
    return static_cast<size_t>(found - kHintTimers.begin());
}

// A hint stays while the cursor is over its check box.
void OnHintTimer(UINT_PTR id, size_t index) {
    POINT cursor{};
    RECT box{};
    HWND checkBox = gPopup.HintCheckBoxes[index];
    if (GetCursorPos(&cursor) && checkBox && GetWindowRect(checkBox, &box) && PtInRect(&box, cursor)) return;
    StopTimer(id);
    HidePopup(gPlugin.InfoPopup);
}

void OnNoticeTimer() {
    StopTimer(kTimerNotice);
    PopupState& p = gPopup;
    if (p.NoticeBody.empty()) return;  // shown already
    ShowMultiLinePopup(p.NoticeBody, p.NoticeTitle, '\r');
    ArmInfoHideTimer(p.NoticeShowMs);
    // Whatever an information action put into InfoPopup is no longer what it shows.
    p.InfoPopupStale = true;
    p.NoticeBody.clear();
    p.NoticeTitle.clear();
}

void OnTimer(UINT_PTR id) {
    switch (id) {
        case kTimerNotice: OnNoticeTimer(); break;
        case kTimerHideMainPopup: OnHideMainPopupTimer(); break;
        case kTimerLiveTrack: OnLiveTrackTimer(); break;
        case kTimerHideInfoPopup: OnHideInfoPopupTimer(); break;
        case kTimerInfoCoverWatch: OnCoverWatchTimer(gPlugin.InfoPopup, id, OnHideInfoPopupTimer); break;
        case kTimerMainCoverWatch: OnCoverWatchTimer(gPlugin.MainPopup, id, OnHideMainPopupTimer); break;
        default:
            if (const std::optional<size_t> hint = HintIndex(id)) OnHintTimer(id, *hint);
            break;
    }
}

void OnHotkey(int32_t id) {
    if (gPopup.OnHotkey) gPopup.OnHotkey(id);
}

// A button pressed on a popup: its click goes to the window underneath as soon as the
// popup is out of the way, at the next hit test.
void OnButtonDown(bool& pending) { pending = true; }

void OnHitTest(HWND window) {
    PopupState& p = gPopup;
    if (!p.PendingLeftClick && !p.PendingMiddleClick && !p.PendingRightClick) return;
    const DWORD flags = (p.PendingLeftClick ? kLeftClick : 0) + (p.PendingMiddleClick ? kMiddleClick : 0) +
                        (p.PendingRightClick ? kRightClick : 0);
    // Taken before hiding: hiding moves the mouse's window, which hit-tests again, and
    // the click must be replayed only once.
    p.PendingLeftClick = p.PendingMiddleClick = p.PendingRightClick = false;
    p.LiveRefresh = false;
    HidePopup(window);
    StopTimer(kTimerHideMainPopup);
    mouse_event(flags, 0, 0, 0, 0);
}

// The popups are drawn completely by their show operations; letting the system erase
// them in between would only make them flicker.
LRESULT OnEraseBackground(HWND window, WPARAM wParam, LPARAM lParam) {
    if (gPopup.EraseAllowed) return DefWindowProcW(window, WM_ERASEBKGND, wParam, lParam);
    return 1;
}

// The popup's screen has another DPI now (the setting changed, or the screens were
// rearranged): what it shows is measured, placed and drawn again at the new one.
LRESULT OnDpiChanged(HWND window) {
    if (!IsWindowVisible(window)) return 0;
    PopupState& p = gPopup;
    if (window == gPlugin.InfoPopup) {
        const std::string body = std::exchange(p.LastInfoBody, {});
        ShowMultiLinePopup(body, p.LastInfoTitle, p.LastInfoSeparator);
    } else if (p.LevelShown) {
        p.LevelShown = false;  // drawn whole
        ShowLevelPopup(p.LastLevel, p.LastLevelPrefix, p.LastLevelSuffix);
    } else {
        const std::string& shown = p.CurrentPopupText;
        const size_t pad = std::char_traits<char>::length(kPopupPad);
        if (shown.size() >= 2 * pad) ShowPopup(shown.substr(pad, shown.size() - 2 * pad));
    }
    return 0;
}

// Made at its first show: most starts show no multi-line popup for a while, and a
// window less makes the player's start quicker. Owned as MainPopup is. A new window
// comes at the top of the topmost ones, over a full-screen program that was there first;
// put at the bottom until it is shown, it sees that program above it and stays away.
HWND InfoPopupWindow() {
    if (!gPlugin.InfoPopup && gPlugin.MainPopup) {
        gPlugin.InfoPopup = CreatePopupWindow(gPlugin.Module, GetWindow(gPlugin.MainPopup, GW_OWNER));
        SetWindowPos(gPlugin.InfoPopup, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return gPlugin.InfoPopup;
}

// Either popup going away means the player is tearing down its thread's windows,
// unless it is our own quit closing them.
void OnDestroy() {
    gPlugin.Fonts.Clear();
    if (!gPlugin.ClosingOwnWindows) SendCommand(CmdExit);
}

}  // namespace

bool RegisterPopupClass(HINSTANCE instance) {
    return RegisterPlainClass(instance, kPopupClassName, PopupWindowProc, COLOR_INFOBK);
}

void UnregisterPopupClass(HINSTANCE instance) { UnregisterClassW(kPopupClassName, instance); }

HWND CreatePopupWindow(HINSTANCE instance, HWND owner) {
    return CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kPopupClassName, L"", WS_POPUP, kInitialX, kInitialY,
                           kInitialWidth, kInitialHeight, owner, nullptr, instance, nullptr);
}

LRESULT CALLBACK PopupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN: OnButtonDown(gPopup.PendingLeftClick); break;
        case WM_MBUTTONDOWN: OnButtonDown(gPopup.PendingMiddleClick); break;
        case WM_RBUTTONDOWN: OnButtonDown(gPopup.PendingRightClick); break;
        case WM_NCHITTEST: OnHitTest(window); break;
        case WM_HOTKEY: OnHotkey(static_cast<int32_t>(wParam)); break;
        case WM_TIMER: OnTimer(wParam); break;
        case WM_ERASEBKGND: return OnEraseBackground(window, wParam, lParam);
        case WM_DPICHANGED: return OnDpiChanged(window);
        case WM_DESTROY: OnDestroy(); return 0;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void ShowPopup(const std::string& text) {
    HWND popup = gPlugin.MainPopup;
    if (!popup || gSettings.OptDisableVemos() || FullScreenInFront(popup) || Trim(text).empty()) return;
    StartTimer(kTimerMainCoverWatch, kCoverWatchPeriodMs);
    gPopup.HintArmed = false;
    gPopup.LevelShown = false;
    HidePopup(gPlugin.InfoPopup);
    gPopup.CurrentPopupText = Padded(text);
    const int dpi = WindowDpi(popup);
    LineDrawing d{gPlugin.Fonts.At(dpi).Bold.Get(), ToWide(gPopup.CurrentPopupText), {}};
    d.Text = MeasureOn(popup, d.Font, d.Padded);
    PlaceAndShow(popup, LinePopupPlace(ScreenWidth(), ScreenHeight(), d.Text.cx, d.Text.cy, dpi));
    ScopedGetDC dc(popup);
    DrawLinePopup(dc.Get(), d);
}

void ShowLevelPopup(uint8_t level, const std::string& prefix, const std::string& suffix) {
    HWND popup = gPlugin.MainPopup;
    if (!popup || gSettings.OptDisableVemos() || FullScreenInFront(popup)) return;
    StartTimer(kTimerMainCoverWatch, kCoverWatchPeriodMs);
    const bool wasHidden = !IsWindowVisible(popup);
    gPopup.HintArmed = false;
    if (!gSettings.OptDisabled()) {
        HidePopup(gPlugin.InfoPopup);
        const int dpi = WindowDpi(popup);
        const FontSet& fonts = gPlugin.Fonts.At(dpi);
        LevelDrawing d;
        d.TextFont = fonts.Bold.Get();
        d.BarFont = fonts.LevelBar.Get();

        d.Prefix = ToWide(prefix);
        d.Suffix = ToWide(suffix);
        d.Bar = LevelBar(level);
        SIZE total{};
        {
            ScopedGetDC dc(popup);
            d.PrefixWidth = MeasureText(dc.Get(), d.TextFont, d.Prefix).cx;
            total = MeasureText(dc.Get(), d.TextFont, d.Prefix + d.Suffix);
            // Empty and full, so that the popup keeps its width as the level moves.
            const int widestBar = std::max(MeasureText(dc.Get(), d.BarFont, LevelBar(0)).cx,
                                           MeasureText(dc.Get(), d.BarFont, LevelBar(100)).cx);
            d.BarSlot = LevelBarSlot(dpi, widestBar);
        }
        const PopupPlace place = LevelPopupPlace(ScreenWidth(), ScreenHeight(), total.cx, total.cy, d.BarSlot, dpi);
        d.Client = {place.Width, place.Height};
        PlaceAndShow(popup, place);
        const bool fullRedraw = wasHidden || !gPopup.LevelShown || prefix != gPopup.LastLevelPrefix;
        d.Parts = PlanLevelRepaint(fullRedraw, level != gPopup.LastLevel, suffix != gPopup.LastLevelSuffix);
        {
            ScopedGetDC dc(popup);
            DrawLevelPopup(dc.Get(), d);
        }
        gPopup.CurrentPopupText = prefix + NumToStr(false, level) + suffix;
        gPopup.LevelShown = true;
    }
    // Recorded also when nothing was drawn, so the next display compares with this one.
    gPopup.LastLevelPrefix = prefix;
    gPopup.LastLevelSuffix = suffix;
    gPopup.LastLevel = level;
}

void ShowMultiLinePopup(const std::string& body, const std::string& title, char separator) {
    if (gSettings.OptDisableVemos() || Trim(body + title).empty()) return;
    HWND popup = InfoPopupWindow();
    if (!popup || FullScreenInFront(popup)) return;
    StartTimer(kTimerInfoCoverWatch, kCoverWatchPeriodMs);
    const std::string text = body.substr(0, body.find('\0'));
    if (text.empty()) return;
    if (IsWindowVisible(popup) && text == gPopup.LastInfoBody && title == gPopup.LastInfoTitle) return;
    gPopup.LastInfoBody = text;
    gPopup.LastInfoTitle = title;
    gPopup.LastInfoSeparator = separator;
    HidePopup(gPlugin.MainPopup);

    const int dpi = WindowDpi(popup);
    MultiLineDrawing d;
    d.Font = gPlugin.Fonts.At(dpi).Bold.Get();
    d.RuleLeft = ScaleToDpi(kCaptionRuleLeft, dpi);
    d.RulePen = gPlugin.Drawing.InfoTextPen.Get();
    for (const std::string& line : SplitLines(text, separator)) d.PaddedLines.push_back(ToWide(Padded(line)));
    {
        ScopedGetDC dc(popup);
        for (const std::wstring& line : d.PaddedLines) {
            const SIZE size = MeasureText(dc.Get(), d.Font, line);
            d.MaxWidth = std::max(d.MaxWidth, static_cast<int>(size.cx));
            d.LineHeight = size.cy;
        }
        if (!title.empty()) {
            d.PaddedCaption = ToWide(Padded(title));
            d.CaptionWidth = MeasureText(dc.Get(), d.Font, d.PaddedCaption).cx;
            d.MaxWidth = std::max(d.MaxWidth, d.CaptionWidth);
        }
    }
    const int totalHeight = d.LineHeight * static_cast<int>(d.PaddedLines.size());
    PlaceAndShow(popup, MultiLinePopupPlace(ScreenWidth(), ScreenHeight(), d.MaxWidth, totalHeight, dpi));
    ScopedGetDC dc(popup);
    EraseWithClassBackground(popup, dc.Get());
    DrawMultiLinePopup(dc.Get(), d);
}

// Without MainPopup there is no timer: SetTimer for no window would make a new thread
// timer on every call, and KillTimer for none could stop one of the player's.
void StartTimer(UINT_PTR id, UINT milliseconds) {
    if (!gPlugin.MainPopup) return;
    SetTimer(gPlugin.MainPopup, id, milliseconds, nullptr);
    if (id < gTimerPeriods.size()) gTimerPeriods[id] = milliseconds;
}

void StopTimer(UINT_PTR id) {
    if (!gPlugin.MainPopup) return;
    KillTimer(gPlugin.MainPopup, id);
    if (id < gTimerPeriods.size()) gTimerPeriods[id] = 0;
}

UINT TimerPeriod(UINT_PTR id) { return id < gTimerPeriods.size() ? gTimerPeriods[id] : 0; }

void ArmHideTimer(UINT milliseconds) {
    StopTimer(kTimerHideMainPopup);
    StartTimer(kTimerHideMainPopup, milliseconds);
}

void ArmInfoHideTimer(UINT milliseconds) {
    StopTimer(kTimerHideInfoPopup);
    StartTimer(kTimerHideInfoPopup, milliseconds);
}

void ShowNoticeLater(const std::string& body, const std::string& title, UINT delayMs, UINT showMs) {
    gPopup.NoticeBody = body;
    gPopup.NoticeTitle = title;
    gPopup.NoticeShowMs = showMs;
    StartTimer(kTimerNotice, delayMs);
}

void StopAllTimers() {
    for (UINT_PTR id = 0; id <= kLastTimerId; ++id) StopTimer(id);
}

void WatchHintCheckBox(UINT_PTR hintTimer, HWND checkBox) {
    if (const std::optional<size_t> hint = HintIndex(hintTimer)) gPopup.HintCheckBoxes[*hint] = checkBox;
}

bool LiveTrackDisplayShown() {
    return IsWindowVisible(gPlugin.MainPopup) && Padded(gPopup.TrackDisplayText) == gPopup.CurrentPopupText;
}

}  // namespace vemo
