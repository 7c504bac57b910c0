// Texts of the plug-in frame, exactly as the player and the user see them.
#pragma once

#include "vemo_version.h"

namespace vemo {

constexpr char kPluginDescription[] = "VEMO plug-in v" VEMO_VERSION_TEXT " [GEN_VEMO.DLL]";
// Followed by the player's version number.
constexpr char kVersionPopupPrefix[] = "Quavix VEMO Plug-in v" VEMO_VERSION_TEXT " @ Zelmoor Quavix v";

// The message box at quit when the settings could not be saved: the first line, the
// file, then the system's reason.
constexpr char kSettingsNotSavedCaption[] = "VEMO plug-in";
constexpr char kSettingsNotWritten[] = "The plug-in's settings could not be saved in";
constexpr char kSettingsNotRead[] =
    "The plug-in's settings were not saved: this file could not be read, and is left as it was";
constexpr char kSettingsLost[] = "Options changed since the player started are lost.";

}  // namespace vemo
