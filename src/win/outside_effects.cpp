#include "win/outside_effects.h"

#include <shellapi.h>
#include <shlobj.h>

#include "text/unicode.h"

namespace vemo {

namespace {

MMRESULT SystemGetWaveVolume(UINT device, DWORD* volume) {
    return waveOutGetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(device)), volume);
}

MMRESULT SystemSetWaveVolume(UINT device, DWORD volume) {
    return waveOutSetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(device)), volume);
}

// A null argument stays null: the shell reads it as "the default".
std::wstring WideOrEmpty(const char* utf8) { return utf8 ? ToWide(utf8) : std::wstring(); }
const wchar_t* NullOr(const char* utf8, const std::wstring& wide) { return utf8 ? wide.c_str() : nullptr; }

HINSTANCE SystemShellOpen(HWND owner, const char* verb, const char* file, const char* parameters,
                          const char* directory, int show) {
    const std::wstring wideVerb = WideOrEmpty(verb), wideFile = WideOrEmpty(file);
    const std::wstring wideParameters = WideOrEmpty(parameters), wideDirectory = WideOrEmpty(directory);
    return ShellExecuteW(owner, NullOr(verb, wideVerb), NullOr(file, wideFile), NullOr(parameters, wideParameters),
                         NullOr(directory, wideDirectory), show);
}

// Not written to the user profile: the change lasts only for this session.
void SystemSetWarningBeep(bool on) { SystemParametersInfoW(SPI_SETBEEP, on ? TRUE : FALSE, nullptr, 0); }

// When the system cannot tell, it is taken to be on, the system's default.
bool SystemWarningBeep() {
    BOOL on = TRUE;
    return !SystemParametersInfoW(SPI_GETBEEP, 0, &on, 0) || on != FALSE;
}

int SystemAskUser(HWND owner, const char* text, const char* caption, UINT type) {
    const std::wstring wideText = WideOrEmpty(text), wideCaption = WideOrEmpty(caption);
    return MessageBoxW(owner, NullOr(text, wideText), NullOr(caption, wideCaption), type);
}

DWORD SystemVersion() { return GetVersion(); }

// Every item list and the name buffer go back to the shell's allocator.
bool SystemBrowseForFolder(std::string& folder) {
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator) return false;
    bool chosen = false;
    auto* name = static_cast<wchar_t*>(allocator->Alloc(MAX_PATH * sizeof(wchar_t)));
    LPITEMIDLIST root = nullptr;
    if (name && SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &root))) {
        BROWSEINFOW info{};
        info.pidlRoot = root;
        info.pszDisplayName = name;
        info.lpszTitle = L"";
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        if (LPITEMIDLIST picked = SHBrowseForFolderW(&info)) {
            if (SHGetPathFromIDListW(picked, name)) {
                folder = FromWide(name);
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
    const std::optional<std::wstring> full = ShellPathOf(path);
    wchar_t root[MAX_PATH] = {};
    if (!full || !GetVolumePathNameW(full->c_str(), root, MAX_PATH)) return false;
    return Effects().DriveType(root) == DRIVE_FIXED;
}

// The shell's own delete with undo: it takes any name the file system does, and it asks
// nothing of the system that IFileOperation would (a COM apartment on this thread).
// FOF_WANTNUKEWARNING keeps the one question the shell has when the bin cannot take the
// file after all (the bin switched off for the drive, a file larger than the bin): it
// would otherwise delete for good without a word. Its boxes belong to owner, so that
// they never hide under an always-on-top player.
RecycleResult SystemRecycle(HWND owner, const std::string& path) {
    const std::optional<std::wstring> full = ShellPathOf(path);
    if (!full) return RecycleResult::PathTooLong;
    // A list of names, each ended by a NUL, the list by one more: std::wstring's own.
    std::wstring from = *full;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT | FOF_WANTNUKEWARNING;
    const int code = Effects().ShellFileOperation(&operation);
    if (operation.fAnyOperationsAborted || code == ERROR_CANCELLED) return RecycleResult::Declined;
    return code == 0 ? RecycleResult::Done : RecycleResult::Failed;
}

UINT SystemDriveType(const wchar_t* root) { return GetDriveTypeW(root); }

int SystemShellFileOperation(SHFILEOPSTRUCTW* operation) { return SHFileOperationW(operation); }

// Looked up by name: systems before Vista have no such call, and the plug-in must still
// load there.
int SystemUserNotificationState() {
    using QueryState = HRESULT(WINAPI*)(int*);
    HMODULE shell = GetModuleHandleW(L"shell32.dll");
    if (!shell) return kUserStateUnknown;
    auto query = reinterpret_cast<QueryState>(
        reinterpret_cast<void*>(GetProcAddress(shell, "SHQueryUserNotificationState")));
    int state = kUserStateUnknown;
    if (!query || FAILED(query(&state))) return kUserStateUnknown;
    return state;
}

constexpr OutsideEffects kSystemEffects = {
    SystemGetWaveVolume, SystemSetWaveVolume, SystemShellOpen,       SystemSetWarningBeep,
    SystemWarningBeep,   SystemAskUser,       SystemVersion,         SystemBrowseForFolder,
    SystemHasRecycleBin, SystemRecycle,       SystemDriveType,       SystemShellFileOperation,
    SystemUserNotificationState,
};

OutsideEffects gEffects = kSystemEffects;

}  // namespace

OutsideEffects& Effects() { return gEffects; }

std::optional<std::wstring> ShellPathOf(const std::string& path) {
    const std::wstring wide = ToWide(path);
    if (wide.empty()) return std::nullopt;
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0 || needed > MAX_PATH) return std::nullopt;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return std::nullopt;
    full.resize(length);
    return full;
}

void ResetOutsideEffects() { gEffects = kSystemEffects; }

}  // namespace vemo
