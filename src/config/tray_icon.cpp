#include "config/tray_icon.h"

#include <shellapi.h>

#include <string>

#include "actions/player_control.h"
#include "config/tray_texts.h"
#include "text/unicode.h"
#include "win/module_state.h"
#include "win/player_link.h"

namespace vemo {

namespace {

// The picture is the module's second icon group, after MAINICON.
constexpr int kTrayPictureIndex = 1;

constexpr wchar_t kTaskbarCreated[] = L"TaskbarCreated";

// The tip's room in the first form of the record, terminator included; the later forms
// have more.
constexpr int kFirstFormTipUnits = 64;

constexpr size_t kLongestPath = 32768;

}  // namespace

HICON LoadTrayPicture(HMODULE module) {
    // Asked of the module rather than of a fixed file name in the player's plug-in
    // folder, so a renamed or moved DLL still finds its own picture.
    // Wide, so that a player folder named in any script is found; with room for the
    // longest path the wide calls take.
    std::wstring path(kLongestPath, L'\0');
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return nullptr;  // a cut path names another file
    path.resize(length);
    HICON small = nullptr;
    if (ExtractIconExW(path.c_str(), kTrayPictureIndex, nullptr, &small, 1) == 0) return nullptr;
    return small;
}

void PrepareTrayIcon() {
    TrayIconState& tray = gPlugin.Tray;
    tray.Picture.Reset(LoadTrayPicture(OwnModule()));
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
    if (tray.Shown) return;
    tray.Shown = true;
    Shell_NotifyIconW(NIM_ADD, &tray.Record);
}

void RemoveTrayIcon() {
    TrayIconState& tray = gPlugin.Tray;
    if (!tray.Shown) return;
    tray.Shown = false;
    Shell_NotifyIconW(NIM_DELETE, &tray.Record);
}

bool TrayIconShown() { return gPlugin.Tray.Shown; }

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
