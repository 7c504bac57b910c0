// The record the player receives from the plug-in's export. Its layout is shared with
// the player: seven 32-bit fields on the shipped 32-bit build, in this order.
#pragma once

#include <windows.h>

#include <cstddef>

namespace vemo {

using PluginInitProc = int(__cdecl*)();
using PluginProc = void(__cdecl*)();

struct GeneralPurposePlugin {
    int Version;
    const char* Description;
    PluginInitProc Init;
    PluginProc Config;
    PluginProc Quit;
    HWND PlayerWindow;   // filled in by the player before init
    HINSTANCE Instance;  // filled in by the player
};

#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(GeneralPurposePlugin) == 28, "the player reads seven 32-bit fields");
static_assert(offsetof(GeneralPurposePlugin, PlayerWindow) == 20);
static_assert(offsetof(GeneralPurposePlugin, Instance) == 24);
#endif

constexpr int kPluginRecordVersion = 0x10;
constexpr char kExportName[] = "quavixGetGeneralPurposePlugin";
using GetPluginProc = GeneralPurposePlugin*(__cdecl*)();

}  // namespace vemo
