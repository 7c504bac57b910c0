#include "win/outside_effects.h"

#include <shellapi.h>
#include <shlobj.h>

namespace vemo {

namespace {

MMRESULT SystemGetWaveVolume(UINT device, DWORD* volume) {
    return waveOutGetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(device)), volume);
}

MMRESULT SystemSetWaveVolume(UINT device, DWORD volume) {
    return waveOutSetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(device)), volume);
}

HINSTANCE SystemShellOpen(HWND owner, const char* verb, const char* file, const char* parameters,
                          const char* directory, int show) {
    return ShellExecuteA(owner, verb, file, parameters, directory, show);
}

// Not written to the user profile: the change lasts only for this session.
void SystemSetWarningBeep(bool on) { SystemParametersInfoA(SPI_SETBEEP, on ? TRUE : FALSE, nullptr, 0); }

// When the system cannot tell, it is taken to be on, the system's default.
bool SystemWarningBeep() {
    BOOL on = TRUE;
    return !SystemParametersInfoA(SPI_GETBEEP, 0, &on, 0) || on != FALSE;
}

int SystemAskUser(HWND owner, const char* text, const char* caption, UINT type) {
    return MessageBoxA(owner, text, caption, type);
}

DWORD SystemVersion() { return GetVersion(); }

// Every item list and the name buffer go back to the shell's allocator.
bool SystemBrowseForFolder(std::string& folder) {
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator) return false;
    bool chosen = false;
    auto* name = static_cast<char*>(allocator->Alloc(MAX_PATH));
    LPITEMIDLIST root = nullptr;
    if (name && SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &root))) {
        BROWSEINFOA info{};
        info.pidlRoot = root;
        info.pszDisplayName = name;
        info.lpszTitle = "";
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        if (LPITEMIDLIST picked = SHBrowseForFolderA(&info)) {
            if (SHGetPathFromIDListA(picked, name)) {
                folder = name;
                chosen = true;
            }
            allocator->Free(picked);
        }
        allocator->Free(root);
    }
    if (name) allocator->Free(name);
    allocator->Release();
    return chosen;
}

constexpr OutsideEffects kSystemEffects = {
    SystemGetWaveVolume, SystemSetWaveVolume, SystemShellOpen,       SystemSetWarningBeep,
    SystemWarningBeep,   SystemAskUser,       SystemVersion,         SystemBrowseForFolder,
};

OutsideEffects gEffects = kSystemEffects;

}  // namespace

OutsideEffects& Effects() { return gEffects; }

void ResetOutsideEffects() { gEffects = kSystemEffects; }

}  // namespace vemo
