// A probe plug-in for the end-to-end tests of the stand-in player: it exports the same
// entry as a real plug-in and writes what the player does with it to probe.log beside
// itself. It also watches the player's title through a subclass, as a real plug-in
// does, and offers two hotkeys: Win+V sends the player "next", Win+D asks the playlist
// editor to drop entries whose files are gone.
#include <windows.h>

#include <cstdio>
#include <string>

#include "plugin/plugin_record.h"

namespace {

using PluginRecord = vemo::GeneralPurposePlugin;

constexpr int kCmdNext = 40048;
constexpr int kCmdRemoveDeadFiles = 40222;
constexpr int kQueryVersion = 0;
constexpr int kQueryListLength = 124;
constexpr int kQueryEntryTitle = 212;
constexpr int kHotkeyNext = 1;
constexpr int kHotkeyCleanUp = 2;
constexpr char kEditorTitle[] = "Quavix Playlist Editor";

HMODULE gModule = nullptr;
HWND gWindow = nullptr;
WNDPROC gOldPlayerProc = nullptr;
int gExportCalls = 0;
bool gHotkeysHeld = false;

int __cdecl Init();
void __cdecl Config();
void __cdecl Quit();

PluginRecord gRecord{0x10, "Probe plug-in", Init, Config, Quit, nullptr, nullptr};

std::string ModuleName() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(gModule, path, MAX_PATH);
    std::string full(path, n);
    return full.substr(full.find_last_of('\\') + 1);
}

void Log(const std::string& text) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(gModule, path, MAX_PATH);
    std::string file(path, n);
    file = file.substr(0, file.find_last_of('\\') + 1) + "probe.log";
    if (std::FILE* f = std::fopen(file.c_str(), "ab")) {
        std::string line = ModuleName() + ": " + text + "\n";
        std::fwrite(line.data(), 1, line.size(), f);
        std::fclose(f);
    }
}

LRESULT Ask(int id, WPARAM argument = 0) { return SendMessageA(gRecord.PlayerWindow, WM_USER, argument, id); }

BOOL CALLBACK FindEditor(HWND window, LPARAM found) {
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    if (std::string(title) != kEditorTitle) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND PlaylistEditor() {
    HWND editor = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindEditor, reinterpret_cast<LPARAM>(&editor));
    return editor;
}

LRESULT CALLBACK HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT) Log(std::string("settext ") + reinterpret_cast<const char*>(lParam));
    return CallWindowProcA(gOldPlayerProc, window, message, wParam, lParam);
}

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_HOTKEY) return DefWindowProcA(window, message, wParam, lParam);
    if (wParam == kHotkeyNext) {
        Log("hotkey next");
        SendMessageA(gRecord.PlayerWindow, WM_COMMAND, kCmdNext, 0);
    } else if (wParam == kHotkeyCleanUp) {
        Log("hotkey clean-up");
        SendMessageA(PlaylistEditor(), WM_COMMAND, kCmdRemoveDeadFiles, 0);
        Ask(kQueryListLength);
    }
    return 0;
}

int __cdecl Init() {
    bool instanceRight = gRecord.Instance == gModule;
    Log("init window " + std::string(IsWindow(gRecord.PlayerWindow) ? "valid" : "invalid") + ", instance " +
        (instanceRight ? "right" : "wrong") + ", export calls " + std::to_string(gExportCalls));
    Log("editor " + std::string(PlaylistEditor() ? "found" : "missing"));
    Ask(kQueryVersion);
    Ask(kQueryListLength);
    Ask(kQueryEntryTitle, 0);

    WNDCLASSA cls{};
    cls.lpfnWndProc = ProbeProc;
    cls.hInstance = gModule;
    cls.lpszClassName = "ProbePluginWindow";
    RegisterClassA(&cls);
    gWindow = CreateWindowExA(0, cls.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, gModule, nullptr);
    // A second copy of the probe in the same player finds the keys taken; that is fine.
    gHotkeysHeld = RegisterHotKey(gWindow, kHotkeyNext, MOD_WIN, 'V') != 0;
    RegisterHotKey(gWindow, kHotkeyCleanUp, MOD_WIN, 'D');
    Log(std::string("hotkeys ") + (gHotkeysHeld ? "held" : "taken"));

    gOldPlayerProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(gRecord.PlayerWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HookProc)));
    return 0;
}

void __cdecl Config() { Log("config"); }

void __cdecl Quit() {
    Log("quit");
    // Nothing of this module may run after the player unloads it.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(gRecord.PlayerWindow, GWLP_WNDPROC)) == HookProc)
        SetWindowLongPtrA(gRecord.PlayerWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gOldPlayerProc));
    UnregisterHotKey(gWindow, kHotkeyNext);
    UnregisterHotKey(gWindow, kHotkeyCleanUp);
    DestroyWindow(gWindow);
}

}  // namespace

extern "C" __declspec(dllexport) PluginRecord* __cdecl quavixGetGeneralPurposePlugin() {
    ++gExportCalls;
    return &gRecord;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) gModule = instance;
    return TRUE;
}
