#include "config/tray_icon.h"

#include <shellapi.h>

#include "actions/player_control.h"
#include "config/tray_texts.h"
#include "win/module_state.h"
#include "win/player_link.h"

namespace vemo {

namespace {

// The picture is the module's second icon group, after MAINICON.
constexpr int kTrayPictureIndex = 1;

constexpr char kTaskbarCreated[] = "TaskbarCreated";

// The tip's room in the first form of the record; the later forms have more.
constexpr int kFirstFormTipBytes = 64;

}  // namespace

HICON LoadTrayPicture(HMODULE module) {
    // Asked of the module rather than of a fixed file name in the player's plug-in
    // folder, so a renamed or moved DLL still finds its own picture.
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, path, sizeof path);
    if (length == 0 || length >= sizeof path) return nullptr;  // a cut path names another file
    HICON small = nullptr;
    if (ExtractIconExA(path, kTrayPictureIndex, nullptr, &small, 1) == 0) return nullptr;
    return small;
}

void PrepareTrayIcon() {
    TrayIconState& tray = gPlugin.Tray;
    tray.Picture.Reset(LoadTrayPicture(OwnModule()));
    NOTIFYICONDATAA& r = tray.Record;
    r = NOTIFYICONDATAA{};
    // The first form of the record: every shell since the first one knows it.
    r.cbSize = NOTIFYICONDATAA_V1_SIZE;
    r.hWnd = gPlugin.ConfigWindow;
    r.uID = 0;
    r.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    r.uCallbackMessage = kTrayIconMessage;
    r.hIcon = tray.Picture.Get();
    lstrcpynA(r.szTip, kTrayIconTip, kFirstFormTipBytes);
}

void AddTrayIcon() {
    TrayIconState& tray = gPlugin.Tray;
    if (tray.Shown) return;
    tray.Shown = true;
    Shell_NotifyIconA(NIM_ADD, &tray.Record);
}

void RemoveTrayIcon() {
    TrayIconState& tray = gPlugin.Tray;
    if (!tray.Shown) return;
    tray.Shown = false;
    Shell_NotifyIconA(NIM_DELETE, &tray.Record);
}

bool TrayIconShown() { return gPlugin.Tray.Shown; }

void ReleaseTrayIcon() {
    RemoveTrayIcon();
    gPlugin.Tray.Record.hIcon = nullptr;
    gPlugin.Tray.Picture.Reset();
}

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA(kTaskbarCreated);
    return message;
}

void OnTaskbarCreated() {
    if (gPlugin.Tray.Shown) Shell_NotifyIconA(NIM_ADD, &gPlugin.Tray.Record);
}

void OnTrayNotify(LPARAM mouseMessage) {
    switch (mouseMessage) {
        case WM_LBUTTONUP: SendTransportCommand(CmdPrevious); break;
        case WM_RBUTTONUP: SendTransportCommand(CmdNext); break;
        default: break;
    }
}

}  // namespace vemo
