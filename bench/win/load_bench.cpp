// The memory a player gains by loading the plug-in: what the process holds before a
// plug-in is loaded and after its export, init and first popup, as a player would use
// it. The process first does what a playing player has done already (a window drawn
// with text, the wave output open, the system DLLs loaded), so that their cost is not
// counted as the plug-in's. The floor is the probe plug-in of the end-to-end tests,
// which only answers the player and watches its title: the least any plug-in costs.
// Counted: the bytes in use on the process's heaps, the working set, and the window
// system's objects. (Here under Wine, the shipped i686 build and the x86_64 one.)
//
//   vemo_load_bench [--floor PROBE_DLL] [DLL] [--rows FILE]
#include <windows.h>
#include <mmsystem.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "plugin/plugin_record.h"

namespace {

// Rows name the build they measured.
constexpr const char* kBuild = sizeof(void*) == 8 ? "x86_64" : "i686";

struct Memory {
    double HeapBytes = 0;
    double WorkingSet = 0;
    DWORD GdiObjects = 0;
    DWORD UserObjects = 0;
};

// Bytes of every block in use on every heap of the process.
double HeapBytesInUse() {
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    double total = 0;
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
        }
        HeapUnlock(heaps[i]);
    }
    return total;
}

Memory Now() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return {HeapBytesInUse(), static_cast<double>(counters.WorkingSetSize),
            GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
}

// What a playing player has done before any plug-in is loaded.
HWND ActLikeAPlayingPlayer() {
    for (const char* system : {"shell32.dll", "winmm.dll", "gdi32.dll", "user32.dll", "comdlg32.dll"}) LoadLibraryA(system);
    HWND player = CreateWindowExA(0, "STATIC", "1. Song - Quavix", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 16, 16, 300, 100,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HDC dc = GetDC(player);
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
    HGDIOBJ old = SelectObject(dc, font);
    TextOutA(dc, 4, 4, "00:00 Song", 10);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(player, dc);
    // The player's own output, playing through the wave mapper.
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
    HWAVEOUT output = nullptr;
    waveOutOpen(&output, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL);
    return player;
}

// Before loading, after the image is mapped, after init and its first popup. The
// image's share depends on the build (the one tested here carries its debug
// information); what init adds is the plug-in's running cost.
struct Gain {
    Memory Before, Mapped, After;
    std::string Text() const {
        char text[200];
        int n = std::snprintf(text, sizeof text, "+%.0f KiB heap, +%.0f KiB working set by init (+%.0f KiB image)",
                              (After.HeapBytes - Before.HeapBytes) / 1024.0, (After.WorkingSet - Mapped.WorkingSet) / 1024.0,
                              (Mapped.WorkingSet - Before.WorkingSet) / 1024.0);
        // The window system's object counts only where the system keeps them (Wine gives 0).
        if (After.GdiObjects != 0 && n > 0 && static_cast<size_t>(n) < sizeof text) {
            std::snprintf(text + n, sizeof text - static_cast<size_t>(n), ", +%ld GDI / +%ld USER objects",
                          static_cast<long>(After.GdiObjects) - static_cast<long>(Before.GdiObjects),
                          static_cast<long>(After.UserObjects) - static_cast<long>(Before.UserObjects));
        }
        return text;
    }
};

// The plug-in writes its settings at quit into Plugins\Plugin.ini beside the program
// that loaded it, and says so in a message box when it cannot: the folder is there for
// the run, as in a player's folder, and goes again with what was written into it.
class PluginsFolder {
public:
    PluginsFolder() {
        char program[MAX_PATH] = {};
        const DWORD n = GetModuleFileNameA(nullptr, program, sizeof program);
        std::string path(program, n < sizeof program ? n : 0);
        path = path.substr(0, path.find_last_of('\\') + 1) + "Plugins";
        if (CreateDirectoryA(path.c_str(), nullptr)) path_ = path;
    }
    ~PluginsFolder() {
        if (path_.empty()) return;
        DeleteFileA((path_ + "\\Plugin.ini").c_str());
        RemoveDirectoryA(path_.c_str());
    }
    PluginsFolder(const PluginsFolder&) = delete;
    PluginsFolder& operator=(const PluginsFolder&) = delete;

private:
    std::string path_;  // made here; empty when it was there before
};

// Loads a plug-in as the player does and leaves it running; false when it cannot.
bool Load(const std::string& dll, HWND player, Gain& gain, HMODULE& module, vemo::GeneralPurposePlugin*& record) {
    gain.Before = Now();
    module = LoadLibraryA(dll.c_str());
    auto getPlugin =
        module ? reinterpret_cast<vemo::GetPluginProc>(reinterpret_cast<void*>(GetProcAddress(module, vemo::kExportName)))
               : nullptr;
    if (!getPlugin) {
        std::fprintf(stderr, "vemo_load_bench: cannot load %s\n", dll.c_str());
        return false;
    }
    gain.Mapped = Now();
    record = getPlugin();
    record->PlayerWindow = player;
    record->Instance = module;
    record->Init();
    gain.After = Now();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dll = "Gen_vemo.dll";
    std::string floorDll;
    FILE* rows = nullptr;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--rows" && i + 1 < argc) {
            rows = std::fopen(argv[++i], "a");
        } else if (arg == "--floor" && i + 1 < argc) {
            floorDll = argv[++i];
        } else {
            dll = arg;
        }
    }
    const PluginsFolder plugins;
    HWND player = ActLikeAPlayingPlayer();
    Now();  // settles what the first measurement itself allocates

    // The floor first: both stay loaded, as plug-ins of one player do.
    Gain floor, gain;
    HMODULE floorModule = nullptr, module = nullptr;
    vemo::GeneralPurposePlugin *floorRecord = nullptr, *record = nullptr;
    const bool haveFloor = !floorDll.empty() && Load(floorDll, player, floor, floorModule, floorRecord);
    if (!Load(dll, player, gain, module, record)) return 1;
    std::printf("loading %s: %s\n", dll.c_str(), gain.Text().c_str());
    if (haveFloor) std::printf("loading the probe plug-in %s: %s\n", floorDll.c_str(), floor.Text().c_str());
    if (rows) {
        std::fprintf(rows, "5 memory gained by loading, Wine %s|%s|-|%s|export, init, version popup|(shown, not judged)|-\n",
                     kBuild, gain.Text().c_str(), haveFloor ? ("probe " + floor.Text()).c_str() : "-");
        std::fclose(rows);
    }
    record->Quit();
    FreeLibrary(module);
    if (haveFloor) {
        floorRecord->Quit();
        FreeLibrary(floorModule);
    }
    DestroyWindow(player);
    return 0;
}
