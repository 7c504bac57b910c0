// The memory a player gains by loading the plug-in: the process's private bytes and
// working set before loading Gen_vemo.dll and after its export, init and one popup,
// as the player would use it, with the system DLLs it imports loaded beforehand.
// (Here the 64-bit build of the same source under Wine, whose private-bytes count may
// stay at 0.)
//
//   vemo_load_bench [DLL] [--rows FILE]
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "plugin/plugin_record.h"

namespace {

struct Memory {
    SIZE_T PrivateBytes = 0;
    SIZE_T WorkingSet = 0;
};

Memory Now() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return {counters.PrivateUsage, counters.WorkingSetSize};
}

double KiB(SIZE_T after, SIZE_T before) {
    return (static_cast<double>(after) - static_cast<double>(before)) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dll = "Gen_vemo.dll";
    FILE* rows = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--rows" && i + 1 < argc) {
            rows = std::fopen(argv[++i], "a");
        } else {
            dll = argv[i];
        }
    }
    // A player window of our own, made before the first measurement.
    HWND player = CreateWindowExA(0, "STATIC", "1. Song - Quavix", WS_OVERLAPPEDWINDOW, 16, 16, 300, 100, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    // The system DLLs it imports, which a player has loaded already: they are not the
    // plug-in's cost.
    for (const char* system : {"shell32.dll", "winmm.dll", "gdi32.dll", "user32.dll"}) LoadLibraryA(system);
    const Memory before = Now();
    HMODULE module = LoadLibraryA(dll.c_str());
    auto getPlugin =
        module ? reinterpret_cast<vemo::GetPluginProc>(reinterpret_cast<void*>(GetProcAddress(module, vemo::kExportName)))
               : nullptr;
    if (!getPlugin) {
        std::fprintf(stderr, "vemo_load_bench: cannot load %s\n", dll.c_str());
        return 1;
    }
    vemo::GeneralPurposePlugin* record = getPlugin();
    record->PlayerWindow = player;
    record->Instance = module;
    record->Init();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    const Memory after = Now();
    std::printf("loading %s: private bytes +%.0f KiB, working set +%.0f KiB\n", dll.c_str(),
                KiB(after.PrivateBytes, before.PrivateBytes), KiB(after.WorkingSet, before.WorkingSet));
    if (rows) {
        std::fprintf(rows, "5 memory gained by loading, Wine x86_64|+%.0f KiB private, +%.0f KiB working set|-|-|"
                           "export, init, version popup|(shown, not judged)|-\n",
                     KiB(after.PrivateBytes, before.PrivateBytes), KiB(after.WorkingSet, before.WorkingSet));
        std::fclose(rows);
    }
    record->Quit();
    FreeLibrary(module);
    DestroyWindow(player);
    return 0;
}
