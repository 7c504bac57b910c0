// The DLL's only export, and its loader notification.
#include <windows.h>

#include "plugin/lifecycle.h"
#include "win/module_state.h"

// Only the module handle is recorded here: anything more, under the loader lock, risks
// a deadlock in the player.
BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) vemo::RecordModuleHandle(module);
    return TRUE;
}

extern "C" __declspec(dllexport) vemo::GeneralPurposePlugin* __cdecl quavixGetGeneralPurposePlugin() {
    return vemo::GetPluginRecord();
}
