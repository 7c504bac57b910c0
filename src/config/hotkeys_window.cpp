#include "config/hotkeys_window.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "config/config_draw.h"
#include "config/config_window.h"
#include "config/hotkeys_texts.h"
#include "settings/hotkey_rules.h"
#include "settings/hotkey_sets.h"
#include "settings/key_names.h"
#include "text/unicode.h"
#include "win/config_placement.h"

namespace vemo {

HotkeysWindowState gHotkeysWindow;

namespace {

// The window has the configuration window's size, so it stands exactly over it.
// The caption's text starts this far in (at 96 DPI), past the cut corner.
constexpr int kCaptionTextX = 18;
constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE;
constexpr DWORD kOwnerDrawnStyle = kChildStyle | WS_TABSTOP | BS_OWNERDRAW;
constexpr DWORD kListStyle =
    kChildStyle | WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_OWNERDRAWVARIABLE | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
constexpr DWORD kKeyListStyle = kChildStyle | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr int kListId = 200;
constexpr int kFirstModifierId = 201;
constexpr int kKeyListId = 205;
constexpr int kPressId = 206;
constexpr int kNoneId = 207;
constexpr int kFirstSetId = 208;
constexpr int kCloseId = 211;
constexpr int kRowHeight = 14;
// The columns of a row: action, combination, state. The action's column holds the
// longest name ("Rename track according to ID3 tag") with its insets at every scale
// (the scaled font is a little wider at 125 % than the scale alone gives).
constexpr int kCombinationX = 186;
constexpr int kStateX = 300;
constexpr int kTextInset = 3;
// A row's second line, where a state too long for its column goes, starts this far in
// from the action's name above it: the state's column alone is too narrow for the
// longest ("also used by "Rename track according to ID3 tag"").
constexpr int kSecondLineIndent = 12;
// A modifier box's label, in from the box's top left and short of its right edge.
constexpr int kBoxLabelX = 19;
constexpr int kBoxLabelY = 2;
constexpr int kBoxLabelRightGap = 2;
constexpr size_t kButtonTextLimit = 20;

// Where every control stands at 96 DPI (left, top, width, height), in this order; any
// other DPI scales each figure. The key list's height is that of its open list. The
// result line reaches down to the label below it: a kept state, shown whole only there,
// may take three lines at 125 % and 150 %.
enum Place : size_t {
    kListPlace,
    kFirstBoxPlace,
    kKeyListPlace = kFirstBoxPlace + kModifierBoxCount,
    kPressPlace,
    kNonePlace,
    kResultPlace,
    kSetsLabelPlace,
    kFirstSetPlace,
    kClosePlace = kFirstSetPlace + kReadySetCount,
    kPlaceCount
};
constexpr RECT kPlaces96[kPlaceCount] = {
    {6, 4, 452, 318},                                                      // list
    {10, 334, 54, 17},   {68, 334, 54, 17}, {126, 334, 54, 17}, {184, 334, 54, 17},  // Win Ctrl Alt Shift
    {246, 332, 110, 300},                                                  // key list
    {362, 331, 90, 22},                                                    // Press keys
    {10, 360, 80, 22},                                                     // None
    {96, 364, 356, 38},                                                    // result line, to the label
    {10, 402, 440, 16},                                                    // "Ready sets..."
    {10, 420, 110, 25},  {126, 420, 110, 25}, {242, 420, 110, 25},         // the sets
    {372, 453, 80, 25},                                                    // Close
};

struct ModifierBox {
    int32_t Bit;
    const char* Label;
};
constexpr ModifierBox kModifierBoxes[kModifierBoxCount] = {
    {kModWin, kWinText}, {kModCtrl, kCtrlText}, {kModAlt, kAltText}, {kModShift, kShiftText}};

HotkeysWindowState& W() { return gHotkeysWindow; }

// The fonts of the DPI the controls are laid out at.
const FontSet& Fonts() { return gPlugin.Fonts.At(W().Dpi); }

RECT PlaceAt(size_t place, int dpi) { return ScaleRectToDpi(kPlaces96[place], dpi); }

HWND MakeControl(HWND parent, const wchar_t* className, std::string_view text, size_t place, DWORD style, int id) {
    const RECT r = PlaceAt(place, W().Dpi);
    return CreateWindowExW(0, className, ToWide(text).c_str(), style, r.left, r.top, r.right, r.bottom, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), gPlugin.Module, nullptr);
}

// The controls in the order of their places.
std::array<HWND, kPlaceCount> PlacedControls() {
    const HotkeysWindowState& w = W();
    std::array<HWND, kPlaceCount> controls{};
    controls[kListPlace] = w.List;
    for (size_t i = 0; i < kModifierBoxCount; ++i) controls[kFirstBoxPlace + i] = w.ModifierBoxes[i];
    controls[kKeyListPlace] = w.KeyList;
    controls[kPressPlace] = w.PressButton;
    controls[kNonePlace] = w.NoneButton;
    controls[kResultPlace] = w.ResultLine;
    controls[kSetsLabelPlace] = w.SetsLabel;
    for (size_t i = 0; i < kReadySetCount; ++i) controls[kFirstSetPlace + i] = w.SetButtons[i];
    controls[kClosePlace] = w.CloseButton;
    return controls;
}

void SetFont(HWND control, HFONT font) { SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE); }

int32_t SelectedId() {
    const LRESULT row = SendMessageW(W().List, LB_GETCURSEL, 0, 0);
    return row == LB_ERR ? 0 : static_cast<int32_t>(row) + kFirstHotkeyId;
}

// The name a key shows in the list: the layout's own for punctuation keys, which type
// what the layout puts on them (in the layout's script: "Ж" on a Russian one).
std::string ListedKeyName(int32_t vk) {
    if (IsLayoutKey(vk)) {
        const UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC);
        wchar_t name[32] = {};
        if (scan && GetKeyNameTextW(static_cast<LONG>(scan << 16), name, static_cast<int>(std::size(name))) > 0) {
            return FromWide(name);
        }
    }
    return KeyName(vk);
}

std::array<HWND, kHotkeysTabStopCount> TabStops() {
    const HotkeysWindowState& w = W();
    std::array<HWND, kHotkeysTabStopCount> stops{};
    size_t i = 0;
    stops[i++] = w.List;
    for (HWND box : w.ModifierBoxes) stops[i++] = box;
    stops[i++] = w.KeyList;
    stops[i++] = w.PressButton;
    stops[i++] = w.NoneButton;
    for (HWND set : w.SetButtons) stops[i++] = set;
    stops[i++] = w.CloseButton;
    return stops;
}

void MoveFocus(HWND from, bool forward) {
    const auto stops = TabStops();
    MoveFocusAmong(stops, from, forward);
}

void Click(HWND button) {
    SendMessageW(W().Window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// ---- what the window shows ----

void ShowResult(const std::string& text) { SetWindowTextW(W().ResultLine, ToWide(text).c_str()); }

// The editor (boxes and key list) shows the combination being edited.
void ShowEditing() {
    HotkeysWindowState& w = W();
    for (HWND box : w.ModifierBoxes) InvalidateRect(box, nullptr, FALSE);
    const LRESULT count = SendMessageW(w.KeyList, CB_GETCOUNT, 0, 0);
    LRESULT found = -1;
    for (LRESULT i = 0; i < count && found < 0; ++i) {
        if (SendMessageW(w.KeyList, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == w.Editing.VirtualKey) found = i;
    }
    SendMessageW(w.KeyList, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
}

std::array<std::string, kHotkeyColumnCount> RowTexts(int32_t id) {
    return {std::string(HotkeyActionName(static_cast<HotkeyId>(id))), CombinationText(gSettings.Hotkeys[id]),
            HotkeyStateText(id)};
}

std::array<std::string_view, kHotkeyColumnCount> Views(const std::array<std::string, kHotkeyColumnCount>& texts) {
    return {texts[0], texts[1], texts[2]};
}

// A row whose combination or state does not fit its column takes a second line.
void SetRowHeights() {
    HotkeysWindowState& w = W();
    if (!w.List) return;
    ScopedGetDC dc(w.List);
    ScopedSelectObject font(dc.Get(), Fonts().Text.Get());
    const int line = HotkeyRowHeight(w.Dpi);
    RECT client{};
    GetClientRect(w.List, &client);
    const RECT first{0, 0, client.right, line};
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        const auto index = static_cast<WPARAM>(id - kFirstHotkeyId);
        const bool two = PlaceHotkeyRow(dc.Get(), first, w.Dpi, Views(RowTexts(id))).TwoLines;
        const int height = two ? 2 * line : line;
        if (SendMessageW(w.List, LB_GETITEMHEIGHT, index, 0) != height) {
            SendMessageW(w.List, LB_SETITEMHEIGHT, index, height);
        }
    }
}

// After any change: the rows, the editor and the configuration window's help.
void ShowChanges() {
    SetRowHeights();
    InvalidateRect(W().List, nullptr, FALSE);
    ShowHotkeyMarks();
}

void SelectRow(int32_t id) {
    if (!IsHotkeyId(id) || id > kStoredHotkeyCount) id = kFirstHotkeyId;
    SendMessageW(W().List, LB_SETCURSEL, static_cast<WPARAM>(id - kFirstHotkeyId), 0);
    W().Editing = gSettings.Hotkeys[id];
    ShowEditing();
}

// A long kept state may be cut even on its row's second line; the line below the editor
// has room for all of it: "Next track: Win+V: kept (Ctrl+Alt+F4: taken by another program)".
void ShowRowState(int32_t id) {
    if (!IsHotkeyId(id) || id > kStoredHotkeyCount) return;
    ShowResult(std::string(HotkeyActionName(static_cast<HotkeyId>(id))) + kSetSeparator +
               CombinationText(gSettings.Hotkeys[id]) + kSetSeparator + HotkeyStateText(id));
}

// "Ctrl+C not taken: every program uses it".
void ShowRefused(const HotkeyEntry& combination, CombinationRule rule) {
    ShowResult(CombinationText(combination) + kNotTaken + std::string(RuleReason(rule)));
}

std::string ReasonText(const HotkeyState& state) {
    switch (state.Hold) {
        case HotkeyHold::Held: return kHeldText;
        case HotkeyHold::TakenByOther: return kTakenText;
        case HotkeyHold::Duplicate: {
            const std::string_view owner =
                IsHotkeyId(state.Owner) ? HotkeyActionName(static_cast<HotkeyId>(state.Owner)) : std::string_view();
            return std::string(kAlsoUsedText).append(owner).append(kAlsoUsedEnd);
        }
        case HotkeyHold::NeedsModifier: return std::string(kNotRegistered) + kNeedsModifierReason;
        case HotkeyHold::Refused:
            return std::string(kNotRegistered) + kRefusedReason + std::to_string(state.Error) + kRefusedEnd;
        case HotkeyHold::None:
            return gSettings.OptDisabled() ? std::string(kNotRegistered) + kDisabledReason : std::string(kNotRegistered);
    }
    return {};
}

// ---- changing ----

void Remember(int32_t id, const HotkeyEntry& wanted, const HotkeyChange& change) {
    W().Tried[static_cast<size_t>(id - kFirstHotkeyId)] = {true, wanted, change};
}

void Change(int32_t id, const HotkeyEntry& wanted) {
    if (!IsHotkeyId(id) || id > kStoredHotkeyCount) return;
    const HotkeyChange change = ChangeHotkey(id, wanted);
    Remember(id, wanted, change);
    const std::string combination = change.Applied ? CombinationText(wanted) + kSetSeparator : std::string();
    ShowResult(std::string(HotkeyActionName(static_cast<HotkeyId>(id))) + kSetSeparator + combination +
               HotkeyStateText(id));
    ShowChanges();
}

// The boxes and the arrows over the closed key list only edit: a half-made combination
// registered on the way would take its keys from every program, and rewrite the file.
void ShowEdited() {
    const HotkeyEntry& editing = W().Editing;
    if (editing.VirtualKey == 0) return;
    const CombinationRule rule = RuleOf(editing);
    if (rule != CombinationRule::Allowed) {
        ShowRefused(editing, rule);
    } else {
        ShowResult(CombinationText(editing) + kChooseKey);
    }
}

// A key was chosen: the editor's combination is whole, and is tried unless refused.
void ApplyEditing() {
    const HotkeyEntry editing = W().Editing;
    const CombinationRule rule = RuleOf(editing);
    if (rule != CombinationRule::Allowed) {
        ShowRefused(editing, rule);
        return;
    }
    if (editing.VirtualKey != 0) Change(SelectedId(), editing);
}

void ChooseListedKey() {
    HotkeysWindowState& w = W();
    const LRESULT at = SendMessageW(w.KeyList, CB_GETCURSEL, 0, 0);
    if (at == CB_ERR) return;
    w.Editing.VirtualKey = static_cast<int32_t>(SendMessageW(w.KeyList, CB_GETITEMDATA, static_cast<WPARAM>(at), 0));
}

// Whether every key of a combination is up, as the keyboard has it now (not as this
// thread's messages have got so far).
bool Released(const HotkeyEntry& combination) {
    auto up = [](int vk) { return W().KeyIsDown ? !W().KeyIsDown(vk) : GetAsyncKeyState(vk) >= 0; };
    const int32_t mods = combination.Modifiers;
    return up(combination.VirtualKey) && (!(mods & kModWin) || (up(VK_LWIN) && up(VK_RWIN))) &&
           (!(mods & kModCtrl) || up(VK_CONTROL)) && (!(mods & kModAlt) || up(VK_MENU)) &&
           (!(mods & kModShift) || up(VK_SHIFT));
}

void ApplyPendingIfReleased() {
    HotkeysWindowState& w = W();
    if (!w.PendingId || !Released(w.Pending)) return;
    if (w.Window) KillTimer(w.Window, kReleaseTimerId);
    const int32_t id = w.PendingId;
    w.PendingId = 0;
    Change(id, w.Pending);
}

void ApplySet(size_t index) {
    const HotkeySet set = kHotkeySets[index];
    const HotkeyTable wanted = HotkeySetTable(set);
    const HotkeyChanges changes = ApplyHotkeyTable(wanted);
    int held = 0;
    int withoutKey = 0;
    std::string kept;
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        const HotkeyChange& change = changes[static_cast<size_t>(id - kFirstHotkeyId)];
        Remember(id, wanted[id], change);
        held += change.Applied && change.Result.Hold == HotkeyHold::Held;
        // A set may leave an action without a key on purpose: not a failure to report.
        withoutKey += change.Applied && wanted[id] == HotkeyEntry{};
        if (!change.Applied) kept.append(kept.empty() ? "" : ", ").append(HotkeyActionName(static_cast<HotkeyId>(id)));
    }
    std::string result = std::string(HotkeySetName(set)) + kSetSeparator + std::to_string(held) + kSetHeldOf +
                         std::to_string(kStoredHotkeyCount - withoutKey) + kSetHeld;
    if (withoutKey > 0) result += ", " + std::to_string(withoutKey) + kSetWithoutKey;
    if (!kept.empty()) result += kSetKept + kept;
    ShowResult(result);
    SelectRow(SelectedId());
    ShowChanges();
}

void StopWaiting() {
    HotkeysWindowState& w = W();
    if (!w.WaitingId) return;
    w.WaitingId = 0;
    gPopup.OnHotkey = w.LentHandler;
    w.LentHandler = nullptr;
    InvalidateRect(w.List, nullptr, FALSE);
}

// A combination of ours pressed while a row waits reaches us as its hotkey.
void OnHotkeyWhileWaiting(int32_t id) {
    if (IsHotkeyId(id)) TakePressedCombination(gSettings.Hotkeys[id]);
}

bool Down(int vk) { return GetKeyState(vk) < 0; }

int32_t ModifiersDown() {
    return (Down(VK_LWIN) || Down(VK_RWIN) ? kModWin : 0) | (Down(VK_CONTROL) ? kModCtrl : 0) |
           (Down(VK_MENU) ? kModAlt : 0) | (Down(VK_SHIFT) ? kModShift : 0);
}

// ---- the keyboard ----

// True when the key was the window's business and the control must not see it.
bool OnNavigationKey(HWND control, WPARAM key) {
    HotkeysWindowState& w = W();
    const bool list = control == w.List;
    const bool keyList = control == w.KeyList;
    // An open key list has every key for itself: Enter and Esc close it.
    if (keyList && SendMessageW(w.KeyList, CB_GETDROPPEDSTATE, 0, 0)) return false;
    switch (key) {
        case VK_TAB: MoveFocus(control, GetKeyState(VK_SHIFT) >= 0); return true;
        case VK_LEFT: MoveFocus(control, false); return true;
        case VK_RIGHT: MoveFocus(control, true); return true;
        case VK_UP:
            if (list || keyList) return false;
            MoveFocus(control, false);
            return true;
        case VK_DOWN:
            if (list || keyList) return false;
            MoveFocus(control, true);
            return true;
        case VK_RETURN:
            if (keyList) {
                ApplyEditing();
            } else if (list) {
                WaitForCombination(SelectedId());
            } else {
                Click(control);
            }
            return true;
        case VK_ESCAPE: ShowWindow(w.Window, SW_HIDE); return true;
        default: return false;
    }
}

// Keys that move through the window. Without Win, Ctrl or Alt they end the wait
// rather than become the combination: a user presses them to move on.
bool EndsWaiting(WPARAM key) {
    switch (key) {
        case VK_ESCAPE: case VK_RETURN: case VK_TAB: case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN: return true;
        default: return false;
    }
}

// While a row waits, a key and the modifiers held with it are the combination. A held
// key's repeats are not new presses. Esc and Enter end the wait and are done with;
// Tab and the arrows end it and then move, as they would have without it. True when
// the key is used up.
bool OnWaitingKey(HWND control, WPARAM key, LPARAM lParam) {
    constexpr LPARAM kRepeatBit = LPARAM{1} << 30;
    if ((lParam & kRepeatBit) || IsModifierKey(static_cast<int32_t>(key))) return true;
    const int32_t modifiers = ModifiersDown();
    if ((modifiers & (kModWin | kModCtrl | kModAlt)) == 0 && EndsWaiting(key)) {
        StopWaiting();
        if (control == W().List) ShowRowState(SelectedId());
        return key == VK_ESCAPE || key == VK_RETURN;
    }
    TakePressedCombination({modifiers, static_cast<int32_t>(key)});
    return true;
}

WNDPROC PreviousProcOf(HWND control) {
    for (const WindowSubclass& procedure : W().ControlProcs) {
        if (procedure.Window() == control) return procedure.Previous();
    }
    return nullptr;
}

LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool key = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    if (key && W().WaitingId && OnWaitingKey(control, wParam, lParam)) return 0;
    // Keys pressed in another window are not meant for the waiting row.
    if (message == WM_KILLFOCUS && control == W().List) StopWaiting();
    if (message == WM_KEYDOWN && OnNavigationKey(control, wParam)) return 0;
    WNDPROC previous = PreviousProcOf(control);
    // Wide, as WindowSubclass installed the procedure.
    if (!previous) return DefWindowProcW(control, message, wParam, lParam);
    return CallWindowProcW(previous, control, message, wParam, lParam);
}

// ---- drawing ----

void DrawRow(const DRAWITEMSTRUCT& item) {
    const int32_t id = static_cast<int32_t>(item.itemID) + kFirstHotkeyId;
    if (item.itemID == static_cast<UINT>(-1) || !IsHotkeyId(id)) return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    HDC dc = item.hDC;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    ScopedSelectObject font(dc, Fonts().Text.Get());
    std::array<std::string, kHotkeyColumnCount> texts = RowTexts(id);
    RECT line = item.rcItem;
    line.bottom = line.top + HotkeyRowHeight(W().Dpi);
    // Placed as the row's height was decided: by what it shows when nothing waits.
    HotkeyRowPlaces places = PlaceHotkeyRow(dc, line, W().Dpi, Views(texts));
    if (W().WaitingId == id) {
        // The prompt has the state's room too.
        texts[1] = kWaitingText;
        texts[2].clear();
        places.Texts[1].right = places.Texts[2].right;
    }
    for (size_t i = 0; i < kHotkeyColumnCount; ++i) {
        const std::wstring text = ToWide(texts[i]);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &places.Texts[i],
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
}

void DrawModifierBox(const DRAWITEMSTRUCT& item, size_t index) {
    HDC dc = item.hDC;
    HBRUSH face = gPlugin.Drawing.ButtonFaceBrush.Get();
    HBRUSH shadow = gPlugin.Drawing.ButtonShadowBrush.Get();
    if (!face) face = GetSysColorBrush(COLOR_BTNFACE);
    if (!shadow) shadow = GetSysColorBrush(COLOR_BTNSHADOW);
    FillRect(dc, &item.rcItem, face);
    CheckBoxLook look;
    look.Client = item.rcItem;
    look.Checked = (W().Editing.Modifiers & kModifierBoxes[index].Bit) != 0;
    look.Focused = (item.itemState & ODS_FOCUS) != 0;
    look.Face = face;
    look.Shadow = shadow;
    look.Dpi = W().Dpi;
    DrawCheckBox(dc, look);
    ScopedSelectObject font(dc, Fonts().Bold.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT label = ModifierBoxLabel(item.rcItem, W().Dpi);
    DrawTextW(dc, ToWide(kModifierBoxes[index].Label).c_str(), -1, &label, DT_SINGLELINE | DT_NOPREFIX);
}

void DrawButton(const DRAWITEMSTRUCT& item) {
    wchar_t text[kButtonTextLimit + 1] = {};
    GetWindowTextW(item.hwndItem, text, static_cast<int>(std::size(text)));
    PushButtonLook look;
    look.Client = item.rcItem;
    look.Text = FromWide(text);
    look.Pressed = (item.itemState & (ODS_SELECTED | ODS_FOCUS)) == (ODS_SELECTED | ODS_FOCUS);
    look.Focused = (item.itemState & ODS_FOCUS) != 0;
    look.Font = Fonts().Bold.Get();
    look.Dpi = W().Dpi;
    DrawPushButton(item.hDC, look);
}

std::optional<size_t> ModifierIndexOf(HWND control) {
    const auto& boxes = W().ModifierBoxes;
    const auto found = std::find(boxes.begin(), boxes.end(), control);
    if (!control || found == boxes.end()) return std::nullopt;
    return static_cast<size_t>(found - boxes.begin());
}

LRESULT OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.hwndItem == W().List) {
        DrawRow(item);
    } else if (const std::optional<size_t> box = ModifierIndexOf(item.hwndItem)) {
        DrawModifierBox(item, *box);
    } else {
        DrawButton(item);
    }
    return TRUE;
}

LRESULT OnMeasureItem(MEASUREITEMSTRUCT& item) {
    item.itemHeight = static_cast<UINT>(HotkeyRowHeight(W().Dpi));
    return TRUE;
}

void PaintFrame(HWND window) { PaintCaptionAndFrame(window, W().Active, kCaptionTextX, kHotkeysCaption); }

// ---- the window's messages ----

void OnCommand(WORD control, WORD code, HWND from) {
    HotkeysWindowState& w = W();
    if (from == w.List && code == LBN_SELCHANGE) {
        StopWaiting();
        SelectRow(SelectedId());
        ShowRowState(SelectedId());
        return;
    }
    if (from == w.List && code == LBN_DBLCLK) {
        WaitForCombination(SelectedId());
        return;
    }
    // A key is chosen when the open list closes on it (a click, or Enter); the arrows
    // over the closed list, and over the open one, only edit.
    if (from == w.KeyList) {
        switch (code) {
            case CBN_DROPDOWN: w.KeyListOpen = true; w.KeyChosen = false; break;
            case CBN_SELENDOK: w.KeyChosen = w.KeyListOpen; break;
            case CBN_SELCHANGE:
                ChooseListedKey();
                if (!w.KeyListOpen) ShowEdited();
                break;
            case CBN_CLOSEUP:
                w.KeyListOpen = false;
                if (w.KeyChosen) {
                    w.KeyChosen = false;
                    ChooseListedKey();
                    ApplyEditing();
                }
                break;
            default: break;
        }
        return;
    }
    if (code != BN_CLICKED || !from) return;
    StopWaiting();
    if (const std::optional<size_t> box = ModifierIndexOf(from)) {
        w.Editing.Modifiers ^= kModifierBoxes[*box].Bit;
        InvalidateRect(from, nullptr, FALSE);
        ShowEdited();
    } else if (control == kPressId) {
        WaitForCombination(SelectedId());
    } else if (control == kNoneId) {
        w.Editing = {};
        ShowEditing();
        Change(SelectedId(), {});
    } else if (control >= kFirstSetId && control < kFirstSetId + static_cast<int>(kReadySetCount)) {
        ApplySet(static_cast<size_t>(control - kFirstSetId));
    } else if (control == kCloseId) {
        ShowWindow(w.Window, SW_HIDE);
    }
}

LRESULT OnNcActivate(HWND window, bool active) {
    W().Active = active;
    PaintFrame(window);
    return TRUE;
}

LRESULT OnShowWindow(bool shown) {
    if (!shown) StopWaiting();
    return 0;
}

LRESULT OnCtlColorStatic(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void Shape(HWND window, int dpi) {
    const SIZE size = ConfigWindowSize(dpi);
    HRGN region = CutCornerRegion(size.cx, size.cy, dpi);
    if (region && !SetWindowRgn(window, region, TRUE)) DeleteObject(region);
}

void SetFonts() {
    HotkeysWindowState& w = W();
    const FontSet& f = Fonts();
    for (HWND control : {w.List, w.KeyList, w.ResultLine}) SetFont(control, f.Text.Get());
    SetFont(w.SetsLabel, f.Bold.Get());
}

// Everything that follows the DPI, for a window already made: a move to a monitor of
// another scale, or the scale changed while the window exists.
void LayOut(HWND window, int dpi, POINT topLeft) {
    HotkeysWindowState& w = W();
    w.Dpi = dpi;
    SetFonts();
    const auto controls = PlacedControls();
    for (size_t i = 0; i < kPlaceCount; ++i) {
        const RECT r = PlaceAt(i, dpi);
        MoveWindow(controls[i], r.left, r.top, r.right, r.bottom, FALSE);
    }
    SetRowHeights();
    const SIZE size = ConfigWindowSize(dpi);
    SetWindowPos(window, nullptr, topLeft.x, topLeft.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    Shape(window, dpi);
    InvalidateRect(window, nullptr, TRUE);
}

// The window keeps its whole size on a screen shorter than it (a high scale on a small
// screen): cut to the screen by the system, it would lose its foot and no longer match
// its region and frame.
LRESULT OnGetMinMaxInfo(HWND window, MINMAXINFO& limits) {
    const int dpi = window == W().Window ? W().Dpi : WindowDpi(window);
    const SIZE size = ConfigWindowSize(dpi);
    limits.ptMaxTrackSize.x = std::max(limits.ptMaxTrackSize.x, size.cx);
    limits.ptMaxTrackSize.y = std::max(limits.ptMaxTrackSize.y, size.cy);
    return 0;
}

LRESULT OnDpiChanged(HWND window, int dpi, const RECT& suggested) {
    if (dpi <= 0) dpi = WindowDpi(window);
    LayOut(window, dpi, {suggested.left, suggested.top});
    return 0;
}

void FillLists() {
    HotkeysWindowState& w = W();
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        SendMessageW(w.List, LB_ADDSTRING, 0, static_cast<LPARAM>(id));
    }
    for (const NamedKey& key : PickableKeys()) {
        const std::string name = ListedKeyName(key.VirtualKey);
        const std::wstring wide = ToWide(name);
        const LRESULT at = SendMessageW(w.KeyList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        if (at >= 0) SendMessageW(w.KeyList, CB_SETITEMDATA, static_cast<WPARAM>(at), key.VirtualKey);
    }
}

// At the DPI of the window as it is made; W().Dpi says which. The rows' heights follow
// when the window opens.
void CreateControls(HWND window) {
    HotkeysWindowState& w = W();
    w.List = MakeControl(window, L"LISTBOX", "", kListPlace, kListStyle, kListId);
    for (size_t i = 0; i < kModifierBoxCount; ++i) {
        w.ModifierBoxes[i] = MakeControl(window, L"BUTTON", kModifierBoxes[i].Label, kFirstBoxPlace + i,
                                         kOwnerDrawnStyle, kFirstModifierId + static_cast<int>(i));
    }
    w.KeyList = MakeControl(window, L"COMBOBOX", "", kKeyListPlace, kKeyListStyle, kKeyListId);
    w.PressButton = MakeControl(window, L"BUTTON", kPressKeysText, kPressPlace, kOwnerDrawnStyle, kPressId);
    w.NoneButton = MakeControl(window, L"BUTTON", kNoneText, kNonePlace, kOwnerDrawnStyle, kNoneId);
    w.ResultLine = MakeControl(window, L"STATIC", "", kResultPlace, kChildStyle | SS_NOPREFIX, 0);
    w.SetsLabel = MakeControl(window, L"STATIC", kReadySetsLabel, kSetsLabelPlace, kChildStyle | SS_NOPREFIX, 0);
    for (size_t i = 0; i < kReadySetCount; ++i) {
        const std::string name(HotkeySetName(kHotkeySets[i]));
        w.SetButtons[i] = MakeControl(window, L"BUTTON", name, kFirstSetPlace + i, kOwnerDrawnStyle,
                                      kFirstSetId + static_cast<int>(i));
    }
    w.CloseButton = MakeControl(window, L"BUTTON", kCloseText, kClosePlace, kOwnerDrawnStyle, kCloseId);
    SetFonts();
    FillLists();
    const auto stops = TabStops();
    for (size_t i = 0; i < stops.size(); ++i) w.ControlProcs[i].Install(stops[i], ControlProc);
}

}  // namespace

int HotkeyRowHeight(int dpi) {
    // A scaled font may be taller than the scaled row: the row grows rather than cut it.
    ScopedGetDC screen(nullptr);
    ScopedSelectObject font(screen.Get(), gPlugin.Fonts.At(dpi).Text.Get());
    TEXTMETRICW metrics{};
    const int fontHeight = GetTextMetricsW(screen.Get(), &metrics) ? metrics.tmHeight : 0;
    return std::max(ScaleToDpi(kRowHeight, dpi), fontHeight);
}

HotkeyRowPlaces PlaceHotkeyRow(HDC dc, const RECT& line, int dpi,
                               const std::array<std::string_view, kHotkeyColumnCount>& texts) {
    const int edges[kHotkeyColumnCount + 1] = {0, ScaleToDpi(kCombinationX, dpi), ScaleToDpi(kStateX, dpi),
                                               static_cast<int>(line.right - line.left)};
    const int inset = ScaleToDpi(kTextInset, dpi);
    HotkeyRowPlaces places;
    for (size_t i = 0; i < kHotkeyColumnCount; ++i) {
        const int left = i == 0 ? inset : edges[i];
        places.Texts[i] = {line.left + left, line.top, line.left + edges[i + 1] - inset, line.bottom};
    }
    const auto fits = [&](size_t i) {
        const std::wstring text = ToWide(texts[i]);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx <= places.Texts[i].right - places.Texts[i].left;
    };
    if (fits(1) && fits(2)) return places;
    // The combination gets the room of both columns; the state the line beneath, indented.
    places.TwoLines = true;
    places.Texts[1].right = places.Texts[2].right;
    places.Texts[2].left = places.Texts[0].left + ScaleToDpi(kSecondLineIndent, dpi);
    OffsetRect(&places.Texts[2], 0, line.bottom - line.top);
    return places;
}

RECT ModifierBoxLabel(const RECT& box, int dpi) {
    return {box.left + ScaleToDpi(kBoxLabelX, dpi), box.top + ScaleToDpi(kBoxLabelY, dpi),
            box.right - ScaleToDpi(kBoxLabelRightGap, dpi), box.bottom};
}

bool RegisterHotkeysClass(HINSTANCE instance) {
    return RegisterPlainClass(instance, kHotkeysClassName, HotkeysWindowProc, COLOR_BTNFACE);
}

void UnregisterHotkeysClass(HINSTANCE instance) { UnregisterClassW(kHotkeysClassName, instance); }

void OpenHotkeysWindow(int32_t id) {
    HotkeysWindowState& w = W();
    if (!w.Window) {
        // Made at the configuration window's size, then sized by its own DPI, which the
        // system knows only once it exists (the monitor it lands on decides).
        const SIZE made = ConfigWindowSize(WindowDpi(gPlugin.ConfigWindow));
        w.Window = CreateWindowExW(WS_EX_TOOLWINDOW, kHotkeysClassName, L"", WS_OVERLAPPED, 0, 0, made.cx, made.cy,
                                   gPlugin.ConfigWindow, nullptr, gPlugin.Module, nullptr);
        if (!w.Window) return;
        w.Dpi = WindowDpi(w.Window);
        const SIZE size = ConfigWindowSize(w.Dpi);
        SetWindowPos(w.Window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        CreateControls(w.Window);
        Shape(w.Window, w.Dpi);
    } else if (const int dpi = WindowDpi(w.Window); dpi != w.Dpi) {
        // The scale changed while the window was hidden, and nothing told it.
        RECT at{};
        GetWindowRect(w.Window, &at);
        LayOut(w.Window, dpi, {at.left, at.top});
    }
    w.Tried = {};
    SetRowHeights();
    SelectRow(id);
    ShowRowState(SelectedId());
    RECT r{};
    GetWindowRect(w.Window, &r);
    const POINT origin =
        ConfigWindowOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), {r.right - r.left, r.bottom - r.top});
    SetWindowPos(w.Window, HWND_TOPMOST, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(w.Window);
    SetFocus(w.List);
}

void DestroyHotkeysWindow() {
    HotkeysWindowState& w = W();
    StopWaiting();
    for (WindowSubclass& procedure : w.ControlProcs) procedure.Remove();
    if (w.Window) DestroyWindow(w.Window);
    w = HotkeysWindowState{};
}

std::string HotkeyStateText(int32_t id) {
    if (!IsHotkeyId(id) || id > kStoredHotkeyCount) return {};
    const TriedCombination& tried = W().Tried[static_cast<size_t>(id - kFirstHotkeyId)];
    if (tried.Tried && !tried.Change.Applied) {
        return std::string(kKeptText) + CombinationText(tried.Wanted) + kKeptSeparator + ReasonText(tried.Change.Result) +
               kKeptEnd;
    }
    if (gSettings.Hotkeys[id] == HotkeyEntry{}) return kNoneStateText;
    return ReasonText(HotkeyRegistration()[id]);
}

void WaitForCombination(int32_t id) {
    HotkeysWindowState& w = W();
    if (!IsHotkeyId(id) || id > kStoredHotkeyCount) return;
    if (!w.WaitingId) {
        w.LentHandler = gPopup.OnHotkey;
        gPopup.OnHotkey = OnHotkeyWhileWaiting;
    }
    w.WaitingId = id;
    SetFocus(w.List);
    InvalidateRect(w.List, nullptr, FALSE);
}

void TakePressedCombination(const HotkeyEntry& combination) {
    HotkeysWindowState& w = W();
    const int32_t id = w.WaitingId;
    if (!id) return;
    StopWaiting();
    const CombinationRule rule = RuleOf(combination);
    if (rule != CombinationRule::Allowed) {
        ShowRefused(combination, rule);
        return;
    }
    w.Editing = combination;
    ShowEditing();
    w.PendingId = id;
    w.Pending = combination;
    ApplyPendingIfReleased();
    if (!w.PendingId) return;
    ShowResult(CombinationText(combination) + kReleaseKeys);
    // (Without the window there is no timer to wait with: SetTimer for no window would
    // start a timer that no procedure of ours receives.)
    if (!w.Window || !SetTimer(w.Window, kReleaseTimerId, kReleasePollMs, nullptr)) {
        w.PendingId = 0;
        Change(id, combination);
    }
}

LRESULT CALLBACK HotkeysWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE: ShowWindow(window, SW_HIDE); return 0;
        case WM_SHOWWINDOW: OnShowWindow(wParam != 0); break;
        case WM_SETFOCUS: SetFocus(W().List); return 0;
        case WM_DRAWITEM: return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_MEASUREITEM: return OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        case WM_GETMINMAXINFO: return OnGetMinMaxInfo(window, *reinterpret_cast<MINMAXINFO*>(lParam));
        case WM_DPICHANGED: return OnDpiChanged(window, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        case WM_NCPAINT: PaintFrame(window); return 0;
        case WM_NCACTIVATE: return OnNcActivate(window, wParam != 0);
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
        case WM_CTLCOLORSTATIC: return OnCtlColorStatic(reinterpret_cast<HDC>(wParam));
        case WM_TIMER:
            if (wParam == kReleaseTimerId) ApplyPendingIfReleased();
            return 0;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace vemo
