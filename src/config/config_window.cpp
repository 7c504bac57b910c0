#include "config/config_window.h"

#include <shlobj.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

#include "actions/hotkeys.h"
#include "config/config_draw.h"
#include "config/config_texts.h"
#include "config/hotkeys_texts.h"
#include "config/hotkeys_window.h"
#include "config/tray_icon.h"
#include "popup/popup_window.h"
#include "settings/hotkey_table.h"
#include "settings/settings_file.h"
#include "text/unicode.h"
#include "win/module_state.h"
#include "win/outside_effects.h"
#include "win/player_link.h"
#include "win/shared_texts.h"

namespace vemo {

ConfigWindowState gConfig;

namespace {

constexpr int kInitialX = 200;
constexpr int kInitialY = 100;

// Control styles: child, visible, and what each kind adds.
constexpr DWORD kStaticStyle = WS_CHILD | WS_VISIBLE;
constexpr DWORD kTitleStyle = kStaticStyle | SS_NOTIFY | SS_NOPREFIX;
constexpr DWORD kLabelStyle = kStaticStyle | SS_NOPREFIX;
// A help line too long for its box is cut at the frame rather than wrapped onto the
// lines below it.
constexpr DWORD kHelpStyle = kLabelStyle | SS_LEFTNOWORDWRAP;
constexpr DWORD kGroupStyle = kStaticStyle | BS_GROUPBOX;
constexpr DWORD kOwnerDrawnStyle = kStaticStyle | WS_TABSTOP | BS_OWNERDRAW;
constexpr DWORD kEditStyle = kStaticStyle | WS_DLGFRAME | WS_TABSTOP | ES_AUTOHSCROLL | ES_LOWERCASE;
constexpr int kEditId = 4;
constexpr int kBrowseId = 100;
constexpr int kHotkeysId = 101;
constexpr int kFolderLimit = 260;  // UTF-16 units the edit field takes
constexpr int kButtonTextLimit = 10;

// Where the option rows in the Options box start and how far apart they are.
constexpr int kRowTop = 199;
constexpr int kRowStep = 20;
constexpr int RowTop(int row) { return kRowTop + kRowStep * row; }
// The Recycle Bin row, below the title, where the window grew to make room.
constexpr int kRecycleRowTop = 492;
// The labels lie over the box's free part: the face one pixel lower, the shadow two
// pixels right of and below the face.
constexpr int kFaceLabelDown = 1;
constexpr int kShadowOffset = 2;

// The option rows, top to bottom, in tab order. A check box's id is the number of its
// option, and each has its own hover-hint timer.
struct OptionRow {
    OptionId Option;
    const char* Label;
    UINT_PTR HintTimer;
    const char* Hint;
    int Top;  // of the check box, in client pixels
};
constexpr OptionRow kOptionRows[kOptionCount] = {
    {OptionId::LaunchMinimized, "Launch Quavix minimized", 7,
     "If checked then Quavix always launches initially minimized", RowTop(0)},
    {OptionId::Autoplay, "Autoplay", 8, "Checked state causes Quavix to begin playing when it starts", RowTop(1)},
    {OptionId::Visualization, "Visualization plug-in on start", 9,
     "If checked then Quavix launches current visualization plug-in on start", RowTop(2)},
    {OptionId::VemoOnSongStart, "Vemo on song start", 6,
     "Allows displaying title and artist name when\rthe new composition starts (recommended)", RowTop(3)},
    {OptionId::TrackNumbers, "Playlist track number in vemo", 10,
     "If checked then a playlist track number will be added to a vemo text", RowTop(4)},
    {OptionId::PromptOnDeletion, "Prompt on file deletion", 14,
     "If checked then plug-in prompts a user for\rconfirmation of file deletion on Win+Delete", RowTop(5)},
    {OptionId::RemoveFolder, "Also remove folder", 15,
     "Also removes a containing folder if it is empty on file deletion (Win+Delete)", RowTop(6)},
    {OptionId::SystrayIcon, "\"Previous/next\" button in systray", 16,
     "Shows/hides a \"previous/next\" button in system tray. Left mouse button click on\rit starts playing "
     "previous track, right mouse button click starts playing next track", RowTop(7)},
    {OptionId::DisableVemos, "Disable vemos", 11, "If checked then vemos will not appear in any case", RowTop(8)},
    {OptionId::Disabled, "Disable plug-in", 4, "Disables plug-in", RowTop(9)},
    {OptionId::RecycleBin, "Delete to Recycle Bin", 18,
     "If checked then Win+Delete moves a file to the Recycle Bin, where it can be restored;\runchecked, "
     "the file is deleted for good", kRecycleRowTop},
};

// Every control's place at 96 DPI: left, top, width, height in the client area. At any
// other DPI each figure is scaled on its own (ScaleRectToDpi), so 96 DPI stays exact.
// The title in three layers: shadow, highlight, face.
constexpr RECT kTitleAt[3] = {{28, 447, 317, 44}, {26, 445, 317, 44}, {27, 446, 317, 44}};
// Each box's help inside the box's frame, below its caption, with room for its lines
// at a 13-pixel line height: 12 in the upper boxes, 18 in the service box.
constexpr RECT kHelpAt[kHelpBoxCount] = {{12, 17, 212, 161}, {236, 17, 212, 161}, {12, 198, 212, 249}};
constexpr RECT kFolderLabelAt{239, 405, 150, 20};
// Playback, additional, service, options.
constexpr RECT kGroupAt[4] = {{6, 2, 222, 178}, {230, 2, 222, 178}, {6, 183, 222, 266}, {230, 183, 222, 266}};
constexpr RECT kOkAt{372, 453, 80, 25};
constexpr RECT kFolderEditAt{237, 420, 140, 20};
constexpr RECT kBrowseAt{382, 420, 64, 22};
constexpr RECT kHotkeysButtonAt{11, 492, 100, 22};
constexpr int kCheckBoxLeft = 237;
constexpr SIZE kCheckBoxSize{208, 17};
constexpr int kLabelLeft = 260;
constexpr SIZE kLabelSize{210, 191};
constexpr RECT CheckBoxAt(size_t row) {
    return {kCheckBoxLeft, kOptionRows[row].Top, kCheckBoxSize.cx, kCheckBoxSize.cy};
}
constexpr RECT FaceLabelAt(size_t row) {
    return {kLabelLeft, kOptionRows[row].Top + kFaceLabelDown, kLabelSize.cx, kLabelSize.cy};
}
constexpr RECT ShadowLabelAt(size_t row) {
    const RECT face = FaceLabelAt(row);
    return {face.left + kShadowOffset, face.top + kShadowOffset, face.right, face.bottom};
}

constexpr const char* kGroupTexts[4] = {kPlaybackGroup, kAdditionalGroup, kServiceGroup, kOptionsGroup};

// A control with its 96-DPI place.
struct PlacedControl {
    HWND Control;
    RECT At;
};

// The title's layers, the help boxes, the folder label, the group boxes, the check
// boxes with their two labels, OK, the edit field, Browse, Hotkeys.
constexpr size_t kControlCount = 3 + kHelpBoxCount + 1 + 4 + 3 * kOptionCount + 4;

// Every control of the window with its place: what a change of DPI moves.
std::array<PlacedControl, kControlCount> PlacedControls() {
    const ConfigWindowState& c = gConfig;
    std::array<PlacedControl, kControlCount> all{};
    size_t n = 0;
    for (size_t i = 0; i < c.TitleLayers.size(); ++i) all[n++] = {c.TitleLayers[i], kTitleAt[i]};
    for (size_t box = 0; box < kHelpBoxCount; ++box) all[n++] = {c.HelpTexts[box], kHelpAt[box]};
    all[n++] = {c.FolderLabel, kFolderLabelAt};
    for (size_t i = 0; i < c.GroupBoxes.size(); ++i) all[n++] = {c.GroupBoxes[i], kGroupAt[i]};
    for (size_t row = 0; row < kOptionCount; ++row) {
        all[n++] = {c.CheckBoxes[row], CheckBoxAt(row)};
        all[n++] = {c.ShadowLabels[row], ShadowLabelAt(row)};
        all[n++] = {c.FaceLabels[row], FaceLabelAt(row)};
    }
    all[n++] = {c.OkButton, kOkAt};
    all[n++] = {c.FolderEdit, kFolderEditAt};
    all[n++] = {c.BrowseButton, kBrowseAt};
    all[n++] = {c.HotkeysButton, kHotkeysButtonAt};
    return all;
}

// OK is made among the last, so with it there are all.
bool ControlsMade() { return gConfig.OkButton != nullptr; }

// The DPI the window is laid out at: its controls' once they are made, else its own.
int LayoutDpi() { return gConfig.Dpi > 0 ? gConfig.Dpi : WindowDpi(gPlugin.ConfigWindow); }

const FontSet& Fonts() { return gPlugin.Fonts.At(LayoutDpi()); }

SIZE WindowSize() { return ConfigWindowSize(LayoutDpi()); }

// Made without a size: LayOut places every control from the table above.
HWND MakeControl(HWND parent, const wchar_t* className, std::string_view text, DWORD style, int id) {
    return CreateWindowExW(0, className, ToWide(text).c_str(), style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), gPlugin.Module, nullptr);
}

// The row of a check box, or none.
std::optional<size_t> RowOf(HWND box) {
    const auto& boxes = gConfig.CheckBoxes;
    const auto found = std::find(boxes.begin(), boxes.end(), box);
    if (!box || found == boxes.end()) return std::nullopt;
    return static_cast<size_t>(found - boxes.begin());
}

// ---- the control procedures ----

// The tab stops, in order: the check boxes (the Recycle Bin one after "Disable
// plug-in"), OK, the edit field, Browse, Hotkeys.
std::array<HWND, kConfigTabStopCount> TabStops() {
    std::array<HWND, kConfigTabStopCount> stops{};
    std::copy(gConfig.CheckBoxes.begin(), gConfig.CheckBoxes.end(), stops.begin());
    stops[kOptionCount] = gConfig.OkButton;
    stops[kOptionCount + 1] = gConfig.FolderEdit;
    stops[kOptionCount + 2] = gConfig.BrowseButton;
    stops[kOptionCount + 3] = gConfig.HotkeysButton;
    return stops;
}

void MoveFocus(HWND from, bool forward) {
    const auto stops = TabStops();
    MoveFocusAmong(stops, from, forward);
}

void PressOk() {
    SendMessageW(gPlugin.ConfigWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(gConfig.OkButton));
}

// The window is not a dialog, so the controls move the focus themselves.
void OnNavigationKey(HWND control, WPARAM key) {
    switch (key) {
        case VK_TAB: MoveFocus(control, GetKeyState(VK_SHIFT) >= 0); break;
        case VK_LEFT:
        case VK_UP: MoveFocus(control, false); break;
        case VK_RIGHT:
        case VK_DOWN: MoveFocus(control, true); break;
        case VK_RETURN:
        case VK_ESCAPE: PressOk(); break;
        default: break;
    }
}

// A hint shows on the pointer's second movement over a box after any popup, so that
// passing over the options on the way elsewhere does not pop hints up.
void OnCheckBoxHover(size_t row) {
    PopupState& p = gPopup;
    if (p.HintArmed) {
        const OptionRow& option = kOptionRows[row];
        p.LiveRefresh = false;
        StartTimer(option.HintTimer, kHintWatchPeriodMs);
        p.InfoPopupKind = InfoKind::None;
        if (!(IsWindowVisible(gPlugin.InfoPopup) && p.LastInfoBody == option.Hint)) {
            ShowMultiLinePopup(option.Hint, "", '\r');
        }
        p.InfoPopupStale = true;
    }
    p.HintArmed = true;
}

WNDPROC PreviousProcOf(HWND control) {
    for (const WindowSubclass& procedure : gConfig.ControlProcs) {
        if (procedure.Window() == control) return procedure.Previous();
    }
    return nullptr;
}

LRESULT PassToControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = PreviousProcOf(control);
    // Wide, as WindowSubclass installed the procedure.
    if (!previous) return DefWindowProcW(control, message, wParam, lParam);
    return CallWindowProcW(previous, control, message, wParam, lParam);
}

LRESULT CALLBACK CheckBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCHITTEST:
            if (const std::optional<size_t> row = RowOf(box)) OnCheckBoxHover(*row);
            break;
        case WM_KEYDOWN: OnNavigationKey(box, wParam); break;
        default: break;
    }
    return PassToControl(box, message, wParam, lParam);
}

LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) OnNavigationKey(control, wParam);
    return PassToControl(control, message, wParam, lParam);
}

// ---- building the window ----

// The controls, in the order the tab stops and the layered labels rely on.
void CreateControls(HWND window) {
    ConfigWindowState& c = gConfig;
    for (size_t i = 0; i < c.TitleLayers.size(); ++i) {
        c.TitleLayers[i] = MakeControl(window, L"STATIC", kConfigTitle, kTitleStyle, 0);
    }
    // The help and the boxes' captions are written by ShowHotkeyMarks once the fonts are set.
    for (size_t box = 0; box < kHelpBoxCount; ++box) {
        c.HelpTexts[box] = MakeControl(window, L"STATIC", "", kHelpStyle, 0);
    }
    c.FolderLabel = MakeControl(window, L"STATIC", kFolderLabel, kLabelStyle, 0);
    for (size_t i = 0; i < c.GroupBoxes.size(); ++i) {
        c.GroupBoxes[i] = MakeControl(window, L"BUTTON", kGroupTexts[i], kGroupStyle, 0);
    }
    for (size_t row = 0; row < kOptionCount; ++row) {
        c.CheckBoxes[row] =
            MakeControl(window, L"BUTTON", "", kOwnerDrawnStyle, static_cast<int>(kOptionRows[row].Option));
        WatchHintCheckBox(kOptionRows[row].HintTimer, c.CheckBoxes[row]);
    }
    c.OkButton = MakeControl(window, L"BUTTON", kOkText, kOwnerDrawnStyle, 0);
    c.FolderEdit = MakeControl(window, L"EDIT", "", kEditStyle, kEditId);
    c.BrowseButton = MakeControl(window, L"BUTTON", kBrowseText, kOwnerDrawnStyle, kBrowseId);
    c.HotkeysButton = MakeControl(window, L"BUTTON", kHotkeysButtonText, kOwnerDrawnStyle, kHotkeysId);
    for (size_t row = 0; row < kOptionCount; ++row) {
        c.ShadowLabels[row] = MakeControl(window, L"STATIC", kOptionRows[row].Label, kStaticStyle, 0);
        c.FaceLabels[row] = MakeControl(window, L"STATIC", kOptionRows[row].Label, kStaticStyle, 0);
    }
    for (size_t row = 0; row < kOptionCount; ++row) c.ControlProcs[row].Install(c.CheckBoxes[row], CheckBoxProc);
    c.ControlProcs[kOptionCount].Install(c.OkButton, ControlProc);
    c.ControlProcs[kOptionCount + 1].Install(c.FolderEdit, ControlProc);
    c.ControlProcs[kOptionCount + 2].Install(c.BrowseButton, ControlProc);
    c.ControlProcs[kOptionCount + 3].Install(c.HotkeysButton, ControlProc);
    SendMessageW(c.FolderEdit, EM_LIMITTEXT, kFolderLimit, 0);
}

void SetFont(HWND control, HFONT font) { SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE); }

// The fonts of the controls the system draws; the self-drawn ones select theirs when drawn.
void ApplyFonts(const FontSet& f) {
    const ConfigWindowState& c = gConfig;
    for (HWND layer : c.TitleLayers) SetFont(layer, f.Title.Get());
    for (HWND help : c.HelpTexts) SetFont(help, f.Text.Get());
    SetFont(c.FolderLabel, f.Text.Get());
    SetFont(c.FolderEdit, f.Text.Get());
    for (HWND group : c.GroupBoxes) SetFont(group, f.Bold.Get());
    for (HWND label : c.ShadowLabels) SetFont(label, f.Bold.Get());
    for (HWND label : c.FaceLabels) SetFont(label, f.Bold.Get());
}

int TextWidth(HWND control, HFONT font, std::string_view text) {
    ScopedGetDC dc(control);
    if (!dc.Get()) return 0;
    ScopedSelectObject selected(dc.Get(), font);
    const std::wstring wide = ToWide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &size);
    return static_cast<int>(size.cx);
}

// An option's label shows through a window in its box. Scaled, the bold font may grow a
// little faster than that window; a label that would be cut there moves left into the
// window's free margin, as far as needed. At 96 DPI every label fits where it is.
void FitLabels(int dpi) {
    const ConfigWindowState& c = gConfig;
    const RECT window = CheckBoxLabelWindow(dpi);
    const HFONT font = gPlugin.Fonts.At(dpi).Bold.Get();
    for (size_t row = 0; row < kOptionCount; ++row) {
        const RECT box = ScaleRectToDpi(CheckBoxAt(row), dpi);
        const RECT face = ScaleRectToDpi(FaceLabelAt(row), dpi);
        const RECT shadow = ScaleRectToDpi(ShadowLabelAt(row), dpi);
        const int width = TextWidth(c.ShadowLabels[row], font, kOptionRows[row].Label);
        const int over = shadow.left + width - (box.left + window.right);
        const int room = face.left - (box.left + window.left);
        const int shift = std::min(over, room);
        if (shift <= 0) continue;
        const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
        SetWindowPos(c.FaceLabels[row], nullptr, face.left - shift, face.top, 0, 0, flags);
        SetWindowPos(c.ShadowLabels[row], nullptr, shadow.left - shift, shadow.top, 0, 0, flags);
    }
}

// The region that cuts the top corners, for the window's size at dpi.
void ShapeWindow(HWND window, int dpi) {
    const SIZE size = ConfigWindowSize(dpi);
    HRGN region = CutCornerRegion(size.cx, size.cy, dpi);
    // The window owns the region from here on; it is freed only when the call failed.
    if (region && !SetWindowRgn(window, region, TRUE)) DeleteObject(region);
}

// The window's size and region at dpi; its top left corner moved to at, when given.
void FitWindow(HWND window, int dpi, const POINT* at) {
    const SIZE size = ConfigWindowSize(dpi);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (at ? 0 : SWP_NOMOVE);
    SetWindowPos(window, nullptr, at ? at->x : 0, at ? at->y : 0, size.cx, size.cy, flags);
    ShapeWindow(window, dpi);
}

// Everything at dpi: the controls placed and given its fonts, the window's size and
// region, and the help's marks fitted to the boxes' width in their font.
void LayOut(HWND window, int dpi, const POINT* at) {
    if (ControlsMade()) {
        for (const PlacedControl& placed : PlacedControls()) {
            const RECT r = ScaleRectToDpi(placed.At, dpi);
            SetWindowPos(placed.Control, nullptr, r.left, r.top, r.right, r.bottom,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        }
        gConfig.Dpi = dpi;
        ApplyFonts(gPlugin.Fonts.At(dpi));
        FitLabels(dpi);
        ShowHotkeyMarks();
    }
    FitWindow(window, dpi, at);
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The controls, the help and the stored folder, made at the first show at the DPI then:
// the player's start does not wait for a window the user may never open.
void MakeControls(HWND window, int dpi) {
    CreateControls(window);
    ShowStoredDestinationFolder();
    LayOut(window, dpi, nullptr);
}

// ---- the window's messages ----

// The window going away outside our own quit means the player is closing its windows.
void OnDestroy() {
    if (!gPlugin.ClosingOwnWindows) SendCommand(CmdExit);
}

// Alt+F4 and any other request to close: hidden, as OK hides it. Destroyed, the window
// would make the player exit, and the Config key and the tray button would be left
// with a handle to nothing.
LRESULT OnClose(HWND window) {
    ShowWindow(window, SW_HIDE);
    return 0;
}

LRESULT OnSetFocus() {
    if (gConfig.OkButton) SetFocus(gConfig.OkButton);
    return 0;
}

// At a high DPI the window may be taller than a small screen; the system's limit to
// the screen's size would cut off its bottom row of controls.
LRESULT OnGetMinMaxInfo(MINMAXINFO& info) {
    const SIZE size = WindowSize();
    info.ptMaxTrackSize.x = std::max(info.ptMaxTrackSize.x, size.cx);
    info.ptMaxTrackSize.y = std::max(info.ptMaxTrackSize.y, size.cy);
    return 0;
}

// Before each show: the controls at the first; later only a DPI that changed while the
// window was hidden is followed.
LRESULT OnPrepare(HWND window) {
    const int dpi = WindowDpi(window);
    if (!ControlsMade()) {
        MakeControls(window, dpi);
    } else if (dpi != gConfig.Dpi) {
        LayOut(window, dpi, nullptr);
    }
    return 0;
}

// Moved to a monitor of another DPI, or the setting changed: laid out anew at the
// suggested place.
LRESULT OnDpiChanged(HWND window, int dpi, const RECT& suggested) {
    const POINT at{suggested.left, suggested.top};
    LayOut(window, dpi > 0 ? dpi : kBaseDpi, &at);
    // The tray button's picture follows the DPI of the window its record names: this one.
    RefreshTrayPicture();
    return 0;
}

// New system colours: new pens and brushes, the region again, the frame redrawn.
LRESULT OnSettingChange(HWND window) {
    DeleteDrawingObjects();
    CreateDrawingObjects();
    ShapeWindow(window, LayoutDpi());
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, WindowSize().cx, WindowSize().cy, SWP_NOMOVE | SWP_NOACTIVATE);
    return 0;
}

// A hand over the title, which is a link; the arrow everywhere else, the edit field too.
LRESULT OnSetCursor(HWND under) {
    const bool link = under && under == gConfig.TitleLayers[0];
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(link ? IDC_HAND : IDC_ARROW)));
    return 1;
}

void ApplyDisabled() {
    if (!gSettings.OptDisabled()) {
        RegisterAllHotkeys();
        if (gSettings.OptSystrayIcon()) AddTrayIcon();
    } else {
        UnregisterAllHotkeys();
        RemoveTrayIcon();
    }
    ShowHotkeyMarks();
}

// The tray option works whatever "Disable plug-in" says.
void ApplyTrayOption() {
    if (gSettings.OptSystrayIcon()) {
        AddTrayIcon();
    } else {
        RemoveTrayIcon();
    }
}

// An option takes effect each time its flag flips, not on the click that may follow:
// a press dragged off the box flips it without a click, and a press dragged off and
// back on flips it twice before the one click.
void FlipOption(OptionId option) {
    gSettings.Set(option, !gSettings.IsOn(option));
    if (option == OptionId::Disabled) ApplyDisabled();
    if (option == OptionId::SystrayIcon) ApplyTrayOption();
}

void DrawOptionBox(const DRAWITEMSTRUCT& item, size_t row) {
    const bool pressed = item.itemState == (ODS_SELECTED | ODS_FOCUS);
    if (pressed && !gConfig.DrawnPressed[row]) FlipOption(kOptionRows[row].Option);
    gConfig.DrawnPressed[row] = pressed;
    CheckBoxLook look;
    look.Client = item.rcItem;
    look.Checked = gSettings.IsOn(kOptionRows[row].Option);
    look.Focused = (item.itemState & ODS_FOCUS) != 0;
    look.Face = gPlugin.Drawing.ButtonFaceBrush.Get();
    look.Shadow = gPlugin.Drawing.ButtonShadowBrush.Get();
    if (!look.Face) look.Face = GetSysColorBrush(COLOR_BTNFACE);
    if (!look.Shadow) look.Shadow = GetSysColorBrush(COLOR_BTNSHADOW);
    ScopedSelectObject font(item.hDC, Fonts().Bold.Get());
    DrawCheckBox(item.hDC, look);
}

void DrawButton(const DRAWITEMSTRUCT& item) {
    wchar_t text[kButtonTextLimit + 1] = {};
    GetWindowTextW(item.hwndItem, text, kButtonTextLimit + 1);
    PushButtonLook look;
    look.Client = item.rcItem;
    look.Text = FromWide(text);
    look.Pressed = item.itemState == (ODS_SELECTED | ODS_FOCUS);
    look.Focused = (item.itemState & ODS_FOCUS) != 0;
    look.Font = Fonts().Bold.Get();
    DrawPushButton(item.hDC, look);
}

LRESULT OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (const std::optional<size_t> row = RowOf(item.hwndItem)) {
        DrawOptionBox(item, *row);
        return TRUE;
    }
    if (item.hwndItem == gConfig.OkButton || item.hwndItem == gConfig.BrowseButton ||
        item.hwndItem == gConfig.HotkeysButton) {
        DrawButton(item);
        return TRUE;
    }
    return FALSE;
}

void PaintFrame(HWND window) { PaintCaptionAndFrame(window, gConfig.Active, kCentredCaption, kAboutLine); }

LRESULT OnNcPaint(HWND window) {
    PaintFrame(window);
    return 0;
}

LRESULT OnNcActivate(HWND window, bool active) {
    gConfig.Active = active;
    PaintFrame(window);
    return TRUE;
}

void Browse() {
    std::string folder;
    if (Effects().BrowseForFolder(folder)) SetWindowTextW(gConfig.FolderEdit, ToWide(folder).c_str());
}

void OpenMailLink() {
    const std::string directory = PlayerDirectory(FromWide(GetCommandLineW()));
    Effects().ShellOpen(gPlugin.MainPopup, kMailVerb, kMailLink, nullptr, directory.c_str(), SW_SHOWNORMAL);
}

// The edit field shows the destination folder; the settings keep what it shows, for
// copy and move and for the file at quit, in lower case. The field lowers what is typed;
// what the program puts there is lowered here, letter by letter in any script.
std::string FolderAsKept(std::wstring text) {
    // No more than the field gives back.
    if (text.size() > kFolderLimit) text.resize(kFolderLimit);
    if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return FromWide(text);
}

void OnFolderEdited() {
    std::wstring text(kFolderLimit + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(gConfig.FolderEdit, text.data(), kFolderLimit + 1)));
    gSettings.DestinationFolder = FolderAsKept(std::move(text));
}

// The help line at a point of the window, by its action; none between lines or boxes.
HotkeyId HelpLineAt(HWND window, POINT at) {
    for (size_t box = 0; box < kHelpBoxCount; ++box) {
        HWND help = gConfig.HelpTexts[box];
        POINT p = at;
        MapWindowPoints(window, help, &p, 1);
        RECT client{};
        if (!help || !GetClientRect(help, &client) || !PtInRect(&client, p)) continue;
        ScopedGetDC dc(help);
        ScopedSelectObject font(dc.Get(), Fonts().Text.Get());
        TEXTMETRICW metrics{};
        if (!dc.Get() || !GetTextMetricsW(dc.Get(), &metrics) || metrics.tmHeight <= 0) return HotkeyId::Unused;
        return HelpLineHotkey(static_cast<HelpBox>(box), static_cast<size_t>(p.y / metrics.tmHeight));
    }
    return HotkeyId::Unused;
}

// The help texts let the mouse through to the window, so the double click on one of
// their lines arrives here.
LRESULT OnDoubleClick(HWND window, POINT at) {
    const HotkeyId id = HelpLineAt(window, at);
    if (id != HotkeyId::Unused) OpenHotkeysWindow(static_cast<int32_t>(id));
    return 0;
}

void OnCommand(WORD code, HWND control) {
    if (control && control == gConfig.FolderEdit && code == EN_CHANGE) {
        OnFolderEdited();
        return;
    }
    if (code != 0 || !control) return;
    if (control == gConfig.OkButton) {
        ShowWindow(gPlugin.ConfigWindow, SW_HIDE);
    } else if (control == gConfig.BrowseButton) {
        Browse();
    } else if (control == gConfig.HotkeysButton) {
        OpenHotkeysWindow(kFirstHotkeyId);
    } else if (control == gConfig.TitleLayers[0]) {
        OpenMailLink();
    }
}

// The labels lie over one another, shadow under face, and the title is embossed in
// three layers: each draws only its letters.
LRESULT OnCtlColorStatic(HWND window, HDC dc, HWND control) {
    int colour = -1;
    if (std::find(gConfig.ShadowLabels.begin(), gConfig.ShadowLabels.end(), control) != gConfig.ShadowLabels.end()) {
        colour = COLOR_BTNSHADOW;
    } else if (std::find(gConfig.FaceLabels.begin(), gConfig.FaceLabels.end(), control) != gConfig.FaceLabels.end()) {
        colour = COLOR_WINDOWTEXT;
    } else if (control == gConfig.TitleLayers[0]) {
        colour = COLOR_BTNSHADOW;
    } else if (control == gConfig.TitleLayers[1]) {
        colour = COLOR_BTNHIGHLIGHT;
    } else if (control == gConfig.TitleLayers[2]) {
        colour = COLOR_BTNFACE;
    }
    if (colour < 0) {
        return DefWindowProcW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    }
    SetTextColor(dc, GetSysColor(colour));
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

}  // namespace

bool RegisterConfigClass(HINSTANCE instance) {
    return RegisterPlainClass(instance, kConfigClassName, ConfigWindowProc, COLOR_BTNFACE);
}

void UnregisterConfigClass(HINSTANCE instance) { UnregisterClassW(kConfigClassName, instance); }

HWND CreateConfigWindow(HINSTANCE instance, HWND owner) {
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kConfigClassName, L"", WS_OVERLAPPED, kInitialX, kInitialY,
                                  WindowSize().cx, WindowSize().cy, owner, nullptr, instance, nullptr);
    if (!window) return nullptr;
    // Double clicks on the help text's lines open the hotkeys window.
    SetClassLongPtrW(window, GCL_STYLE, GetClassLongPtrW(window, GCL_STYLE) | CS_DBLCLKS);
    return window;
}

void ShowStoredDestinationFolder() {
    if (!gConfig.FolderEdit) {
        // Kept as the field would give it back, so the file written at quit is the same
        // whether or not the window was ever shown.
        gSettings.DestinationFolder = FolderAsKept(ToWide(gSettings.DestinationFolder));
        return;
    }
    SetWindowTextW(gConfig.FolderEdit, ToWide(gSettings.DestinationFolder).c_str());
}

LRESULT CALLBACK ConfigWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY: OnDestroy(); break;
        case WM_CLOSE: return OnClose(window);
        case WM_SETFOCUS: return OnSetFocus();
        case WM_SETTINGCHANGE: return OnSettingChange(window);
        case WM_SETCURSOR: return OnSetCursor(reinterpret_cast<HWND>(wParam));
        case WM_DRAWITEM: return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_NCPAINT: return OnNcPaint(window);
        case WM_NCACTIVATE: return OnNcActivate(window, wParam != 0);
        case WM_LBUTTONDBLCLK:
            return OnDoubleClick(window, {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        case WM_COMMAND: OnCommand(HIWORD(wParam), reinterpret_cast<HWND>(lParam)); break;
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DPICHANGED: return OnDpiChanged(window, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        case kPrepareWindowMessage: return OnPrepare(window);
        case WM_GETMINMAXINFO: return OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
        case kTrayIconMessage: OnTrayNotify(lParam); break;
        case kTrayAddMessage: OnTrayAddDue(); return 0;
        default:
            if (message == TaskbarCreatedMessage()) OnTaskbarCreated();
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

namespace {

constexpr const char* kHotkeyGroups[kHelpBoxCount] = {kPlaybackGroup, kAdditionalGroup, kServiceGroup};

// A help box's lines are cut at its right edge, in its own font: a mark must fit before it.
std::string FittedHelpText(HelpBox box, HWND help) {
    RECT client{};
    GetClientRect(help, &client);
    ScopedGetDC dc(help);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(help, WM_GETFONT, 0, 0));
    ScopedSelectObject selected(dc.Get(), font ? font : Fonts().Text.Get());
    HelpLineFit fit;
    fit.MaxWidth = client.right - client.left;
    fit.Width = [&dc](std::string_view line) {
        const std::wstring wide = ToWide(line);
        SIZE size{};
        GetTextExtentPoint32W(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &size);
        return static_cast<int>(size.cx);
    };
    if (!dc.Get()) fit.Width = nullptr;
    return HotkeyHelpText(box, gSettings.Hotkeys, HotkeyRegistration(), fit);
}

}  // namespace

void ShowHotkeyMarks() {
    for (size_t box = 0; box < kHelpBoxCount; ++box) {
        const HelpBox which = static_cast<HelpBox>(box);
        if (HWND group = gConfig.GroupBoxes[box]) {
            std::string caption = kHotkeyGroups[box];
            if (HelpBoxHasDefaults(which, gSettings.Hotkeys)) caption += kDefaultsMark;
            SetWindowTextW(group, ToWide(caption).c_str());
        }
        if (!gConfig.HelpTexts[box]) continue;
        SetWindowTextW(gConfig.HelpTexts[box], ToWide(FittedHelpText(which, gConfig.HelpTexts[box])).c_str());
    }
}

void ReleaseConfigControls() {
    for (WindowSubclass& procedure : gConfig.ControlProcs) procedure.Remove();
    gConfig.ControlProcs = {};
}

}  // namespace vemo
