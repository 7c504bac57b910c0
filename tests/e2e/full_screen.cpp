// A full-screen program in front, as a film or a game in full screen:
//   e2e_full_screen MILLISECONDS
// shows an ordinary window (not always-on-top) over the whole screen, waits until no
// popup of the plug-in is up, brings the window to the front, presses Win+V (the next track)
// and keeps the window up for the time given, looking for a popup all the while.
// Exit code: how many times a popup was seen up after the key (0 is right); 100 when
// the window could not be brought to the front, 101 when an earlier popup stayed up.
#include <windows.h>

#include <cstdlib>

namespace {

constexpr wchar_t kPopupClass[] = L"VemoWindow";

bool PopupUp() {
    for (HWND w = FindWindowExW(nullptr, nullptr, kPopupClass, nullptr); w;
         w = FindWindowExW(nullptr, w, kPopupClass, nullptr)) {
        if (IsWindowVisible(w)) return true;
    }
    return false;
}

void PumpFor(DWORD milliseconds) {
    const DWORD until = GetTickCount() + milliseconds;
    while (static_cast<LONG>(until - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(20);
    }
}

// A click of the system's own input on the window: what brings a program to the front
// when the one in front does not let it go.
void ClickAt(int x, int y) {
    SetCursorPos(x, y);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof(INPUT));
}

void PressWinV() {
    INPUT keys[4] = {};
    const WORD codes[4] = {VK_LWIN, 'V', 'V', VK_LWIN};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = codes[i];
        keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
        if (codes[i] == VK_LWIN) keys[i].ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    SendInput(4, keys, sizeof(INPUT));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 87;  // ERROR_INVALID_PARAMETER
    const DWORD hold = static_cast<DWORD>(std::strtoul(argv[1], nullptr, 0));
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"VemoFullScreenFilm";
    RegisterClassW(&wc);
    HWND film = CreateWindowExW(0, wc.lpszClassName, L"Film", WS_POPUP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(film, SW_SHOW);
    for (int wait = 0; PopupUp(); ++wait) {
        if (wait == 300) return 101;
        PumpFor(20);
    }
    // Without a window manager the X focus follows the pointer: it goes to rest on the film.
    const int middleX = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int middleY = GetSystemMetrics(SM_CYSCREEN) / 2;
    SetCursorPos(middleX, middleY);
    for (int attempt = 0; attempt < 10 && GetForegroundWindow() != film; ++attempt) {
        SetForegroundWindow(film);
        PumpFor(200);
        if (GetForegroundWindow() != film) ClickAt(middleX, middleY);
        PumpFor(200);
    }
    if (GetForegroundWindow() != film) return 100;
    PressWinV();
    int seen = 0;
    const DWORD until = GetTickCount() + hold;
    while (static_cast<LONG>(until - GetTickCount()) > 0) {
        PumpFor(50);
        if (PopupUp()) ++seen;
    }
    DestroyWindow(film);
    return seen;
}
