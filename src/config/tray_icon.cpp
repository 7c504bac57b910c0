#include "config/tray_icon.h"

#include <shellapi.h>

#include <utility>

#include "actions/player_control.h"
#include "config/tray_texts.h"
#include "text/unicode.h"
#include "win/dpi_scale.h"
#include "win/module_state.h"
#include "win/player_link.h"

namespace vemo {

namespace {

// The picture's icon group in the module's resources (after MAINICON).
constexpr WORD kTrayPictureGroup = 2;

constexpr wchar_t kTaskbarCreated[] = L"TaskbarCreated";

// The tip's room in the first form of the record, terminator included; the later forms
// have more.
constexpr int kFirstFormTipUnits = 64;

// The DPI of the window the button belongs to; without it, the primary screen's.
int TrayDpi() { return WindowDpi(gPlugin.ConfigWindow); }

}  // namespace

HICON LoadTrayPicture(HMODULE module, int dpi) {
    // Asked of the loaded module rather than of a fixed file name in the player's plug-in
    // folder, so a renamed or moved DLL still finds its own picture. At the small-icon
    // size of the DPI, so the shell shows an image drawn for it instead of stretching
    // the 16-pixel one.
    const int size = SystemMetricAt(SM_CXSMICON, dpi);
    return static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(kTrayPictureGroup), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

void PrepareTrayIcon() {
    TrayIconState& tray = gPlugin.Tray;
    tray.Picture.Reset(LoadTrayPicture(OwnModule(), TrayDpi()));
    NOTIFYICONDATAW& r = tray.Record;
    r = NOTIFYICONDATAW{};
    // The first form of the record: every shell since the first one knows it.
    r.cbSize = NOTIFYICONDATAW_V1_SIZE;
    r.hWnd = gPlugin.ConfigWindow;
    r.uID = 0;
    r.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    r.uCallbackMessage = kTrayIconMessage;
    r.hIcon = tray.Picture.Get();
    lstrcpynW(r.szTip, ToWide(kTrayIconTip).c_str(), kFirstFormTipUnits);
}

void AddTrayIcon() {
    TrayIconState& tray = gPlugin.Tray;
    tray.AddPending = false;
    if (tray.Shown) return;
    tray.Shown = true;
    Shell_NotifyIconW(NIM_ADD, &tray.Record);
}

void AddTrayIconSoon() {
    TrayIconState& tray = gPlugin.Tray;
    if (tray.Shown || tray.AddPending) return;
    tray.AddPending = gPlugin.ConfigWindow && PostMessageW(gPlugin.ConfigWindow, kTrayAddMessage, 0, 0);
    if (!tray.AddPending) AddTrayIcon();
}

void OnTrayAddDue() {
    if (gPlugin.Tray.AddPending) AddTrayIcon();
}

void RemoveTrayIcon() {
    TrayIconState& tray = gPlugin.Tray;
    tray.AddPending = false;
    if (!tray.Shown) return;
    tray.Shown = false;
    Shell_NotifyIconW(NIM_DELETE, &tray.Record);
}

bool TrayIconShown() { return gPlugin.Tray.Shown || gPlugin.Tray.AddPending; }

void RefreshTrayPicture() { RefreshTrayPictureFrom(OwnModule()); }

void RefreshTrayPictureFrom(HMODULE module) {
    TrayIconState& tray = gPlugin.Tray;
    IconHandle picture(LoadTrayPicture(module, TrayDpi()));
    if (!picture.Get()) return;  // the one shown is better than none
    tray.Record.hIcon = picture.Get();
    if (tray.Shown) {
        NOTIFYICONDATAW change = tray.Record;
        change.uFlags = NIF_ICON;
        Shell_NotifyIconW(NIM_MODIFY, &change);
    }
    // The old picture goes only now that the shell has the new one.
    tray.Picture = std::move(picture);
}

void ReleaseTrayIcon() {
    RemoveTrayIcon();
    gPlugin.Tray.Record.hIcon = nullptr;
    gPlugin.Tray.Picture.Reset();
}

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(kTaskbarCreated);
    return message;
}

void OnTaskbarCreated() {
    if (gPlugin.Tray.Shown) Shell_NotifyIconW(NIM_ADD, &gPlugin.Tray.Record);
}

void OnTrayNotify(LPARAM mouseMessage) {
    switch (mouseMessage) {
        case WM_LBUTTONUP: SendTransportCommand(CmdPrevious); break;
        case WM_RBUTTONUP: SendTransportCommand(CmdNext); break;
        default: break;
    }
}

}  // namespace vemo
