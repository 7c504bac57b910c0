// Texts of the plug-in frame, exactly as the player and the user see them.
#pragma once

namespace vemo {

constexpr char kPluginDescription[] = "VEMO plug-in v1.605 [GEN_VEMO.DLL]";
// Followed by the player's version number.
constexpr char kVersionPopupPrefix[] = "Quavix VEMO Plug-in v1.605 @ Zelmoor Quavix v";

}  // namespace vemo
