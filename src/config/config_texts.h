// Texts of the configuration window, exactly as the user sees them.
#pragma once

#include "vemo_version.h"

namespace vemo {

// The title, drawn three times over itself for an embossed look; the first layer is the
// mail link.
constexpr char kConfigTitle[] = "Quavix VEMO plug-in 1.6";
constexpr char kFolderLabel[] = "Move to/copy to folder:";
// The three hotkey boxes; each says "(Defaults)" only while all its actions have them.
constexpr char kPlaybackGroup[] = "Playback controls";
constexpr char kAdditionalGroup[] = "Additional controls";
constexpr char kServiceGroup[] = "Service controls";
constexpr char kDefaultsMark[] = " (Defaults)";
constexpr char kOptionsGroup[] = "Options";
constexpr char kOkText[] = "OK";
constexpr char kBrowseText[] = "Browse";

// The caption line, centred in the window's width.
constexpr char kAboutLine[] = "Quavix VEMO plug-in v" VEMO_VERSION_TEXT "  -  free software under the MIT licence";

// The author's address, opened by a click on the title.
constexpr char kMailVerb[] = "open";
constexpr char kMailLink[] = "mailto:vemo.plugin@mail.example";

}  // namespace vemo
