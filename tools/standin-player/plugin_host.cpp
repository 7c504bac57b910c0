#include "plugin_host.h"

#include <algorithm>
#include <cstdio>

#include "text/text.h"

namespace vemo::standin {

bool IsPluginFileName(std::string_view name) {
    std::string upper(name);
    StrUpper(upper.data());
    return upper.size() > 8 && upper.compare(0, 4, "GEN_") == 0 && upper.compare(upper.size() - 4, 4, ".DLL") == 0;
}

size_t PluginHost::LoadAll(const std::string& folder, HWND playerWindow) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "\\*.dll").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && IsPluginFileName(found.cFileName))
                names.emplace_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());

    for (const std::string& name : names) {
        HMODULE module = LoadLibraryA((folder + "\\" + name).c_str());
        if (module == nullptr) {
            std::fprintf(stderr, "standin: cannot load %s (error %lu)\n", name.c_str(), GetLastError());
            continue;
        }
        auto getPlugin = reinterpret_cast<GetPluginProc>(reinterpret_cast<void*>(GetProcAddress(module, kPluginExport)));
        if (getPlugin == nullptr) {
            std::fprintf(stderr, "standin: %s has no %s\n", name.c_str(), kPluginExport);
            FreeLibrary(module);
            continue;
        }
        log_("load " + name);
        PluginRecord* record = getPlugin();
        if (record == nullptr || record->Init == nullptr) {
            std::fprintf(stderr, "standin: %s gave no usable record\n", name.c_str());
            FreeLibrary(module);
            continue;
        }
        record->PlayerWindow = playerWindow;
        record->Instance = module;
        plugins_.push_back({name, module, record});
        log_("init");
        record->Init();
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
