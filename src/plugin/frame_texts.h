// Texts of the plug-in frame, exactly as the player and the user see them.
#pragma once

#include "vemo_version.h"

namespace vemo {

constexpr char kPluginDescription[] = "VEMO plug-in v" VEMO_VERSION_TEXT " [GEN_VEMO.DLL]";
// Followed by the player's version number.
constexpr char kVersionPopupPrefix[] = "Quavix VEMO Plug-in v" VEMO_VERSION_TEXT " @ Zelmoor Quavix v";

}  // namespace vemo
