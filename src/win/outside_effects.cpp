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

// The shell keeps a Recycle Bin on fixed drives only: network shares, removable media,
// CDs and RAM disks have none, and its delete with undo is final there. The drive type
// is asked rather than SHQueryRecycleBin, which counts every item of the bin (slow when
// it is full), succeeds for drives where a delete is still final, and under Wine answers
// for the desktop's trash whatever the drive. A path whose volume cannot be told counts
// as having none, so the user is asked rather than the file lost.
bool SystemHasRecycleBin(const std::string& path) {
    char root[MAX_PATH] = {};
    if (!GetVolumePathNameA(path.c_str(), root, sizeof root)) return false;
    return GetDriveTypeA(root) == DRIVE_FIXED;
}

// The 8-bit call, as every other file call of the plug-in: the paths are in the system's
// code page already, and it is there from Windows 95 on (IFileOperation needs Vista).
// FOF_WANTNUKEWARNING keeps the one question the shell has when the bin cannot take the
// file after all (the bin switched off for the drive, a file larger than the bin): it
// would otherwise delete for good without a word.
bool SystemRecycle(const std::string& path) {
    // A list of names, each ended by a NUL, the list by one more: std::string's own.
    std::string from = path;
    from.push_back('\0');
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT | FOF_WANTNUKEWARNING;
    return SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
}

constexpr OutsideEffects kSystemEffects = {
    SystemGetWaveVolume, SystemSetWaveVolume, SystemShellOpen,       SystemSetWarningBeep,
    SystemWarningBeep,   SystemAskUser,       SystemVersion,         SystemBrowseForFolder,
    SystemHasRecycleBin, SystemRecycle,
};

OutsideEffects gEffects = kSystemEffects;

}  // namespace

OutsideEffects& Effects() { return gEffects; }

void ResetOutsideEffects() { gEffects = kSystemEffects; }

}  // namespace vemo
