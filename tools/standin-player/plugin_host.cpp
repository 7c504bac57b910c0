#include "plugin_host.h"

#include <algorithm>
#include <cstdio>

#include "text/text.h"
#include "text/unicode.h"

namespace vemo::standin {

namespace {

double CounterMs() {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

bool IsPluginFileName(std::string_view name) {
    std::string upper(name);
    StrUpper(upper.data());
    return upper.size() > 8 && upper.compare(0, 4, "GEN_") == 0 && upper.compare(upper.size() - 4, 4, ".DLL") == 0;
}

size_t PluginHost::LoadAll(const std::string& folder, HWND playerWindow) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(ToWide(folder + "\\*.dll").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = FromWide(found.cFileName);
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && IsPluginFileName(name)) names.push_back(name);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());

    for (const std::string& name : names) {
        // Only the plug-in's calls are timed, not the player's own log lines between them.
        StartTimes start;
        double from = CounterMs();
        HMODULE module = LoadLibraryW(ToWide(folder + "\\" + name).c_str());
        if (module == nullptr) {
            std::fprintf(stderr, "standin: cannot load %s (error %lu)\n", name.c_str(), GetLastError());
            continue;
        }
        auto getPlugin = reinterpret_cast<GetPluginProc>(reinterpret_cast<void*>(GetProcAddress(module, kPluginExport)));
        start.loadMs = CounterMs() - from;
        if (getPlugin == nullptr) {
            std::fprintf(stderr, "standin: %s has no %s\n", name.c_str(), kPluginExport);
            FreeLibrary(module);
            continue;
        }
        log_("load " + name);
        from = CounterMs();
        PluginRecord* record = getPlugin();
        start.exportMs = CounterMs() - from;
        if (record == nullptr || record->Init == nullptr) {
            std::fprintf(stderr, "standin: %s gave no usable record\n", name.c_str());
            FreeLibrary(module);
            continue;
        }
        record->PlayerWindow = playerWindow;
        record->Instance = module;
        plugins_.push_back({name, module, record, start});
        log_("init");
        from = CounterMs();
        record->Init();
        plugins_.back().start.initMs = CounterMs() - from;
    }
    return plugins_.size();
}

void PluginHost::Config(size_t index) {
    if (index >= plugins_.size() || plugins_[index].record->Config == nullptr) return;
    log_("config");
    plugins_[index].record->Config();
}

void PluginHost::QuitAll() {
    if (quitDone_) return;
    quitDone_ = true;
    for (LoadedPlugin& plugin : plugins_) {
        log_("quit");
        if (plugin.record->Quit != nullptr) plugin.record->Quit();
    }
}

void PluginHost::UnloadAll() {
    for (LoadedPlugin& plugin : plugins_) FreeLibrary(plugin.module);
    plugins_.clear();
}

}  // namespace vemo::standin
