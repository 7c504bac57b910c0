// Loading general-purpose plug-ins the way the player does: every gen_*.dll of the
// Plugins folder beside the program, its export called once, the record's window and
// instance fields filled in, then init; quit and unload at the end.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/plugin_record.h"

namespace vemo::standin {

// The record a plug-in hands over; its layout is shared with every plug-in.
using PluginRecord = GeneralPurposePlugin;
constexpr const char* kPluginExport = kExportName;

// What a plug-in adds to the player's start, in milliseconds: its DLL loaded (mapped,
// relocated, its start-up code run) and the export found, the export called, init.
struct StartTimes {
    double loadMs = 0;
    double exportMs = 0;
    double initMs = 0;
    double TotalMs() const { return loadMs + exportMs + initMs; }
};

struct LoadedPlugin {
    std::string name;  // file name as found
    HMODULE module = nullptr;
    PluginRecord* record = nullptr;
    StartTimes start;
};

// True for names that the player takes as general-purpose plug-ins: gen_*.dll, in any case.
bool IsPluginFileName(std::string_view name);

class PluginHost {
public:
    using Logger = std::function<void(const std::string&)>;

    explicit PluginHost(Logger log) : log_(std::move(log)) {}
    ~PluginHost() { QuitAll(); UnloadAll(); }
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Loads and initialises every plug-in of folder, in name order. The count loaded.
    size_t LoadAll(const std::string& folder, HWND playerWindow);
    void Config(size_t index);
    // Calls every plug-in's quit once; the modules stay loaded.
    void QuitAll();
    void UnloadAll();
    const std::vector<LoadedPlugin>& Plugins() const { return plugins_; }

private:
    Logger log_;
    std::vector<LoadedPlugin> plugins_;
    bool quitDone_ = false;
};

}  // namespace vemo::standin
