#include "plugin/plugin_state.h"

namespace vemo {

PluginState gPlugin;
Settings gSettings = DefaultSettings();
PopupState gPopup;
SongWatchState gSongWatch;
TrackRecords gTrack;

namespace {
HINSTANCE gRecordedModule = nullptr;
}  // namespace

void RecordModuleHandle(HINSTANCE module) { gRecordedModule = module; }

HINSTANCE OwnModule() {
    if (gRecordedModule) return gRecordedModule;
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&OwnModule), &module);
    return module;
}

}  // namespace vemo
