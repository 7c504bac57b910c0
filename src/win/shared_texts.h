// Names shared by the plug-in's windows: the classes they are registered under and the
// font faces they draw with.
#pragma once

namespace vemo {

constexpr char kPopupClassName[] = "VemoWindow";
constexpr char kConfigClassName[] = "CFW";

constexpr char kTitleFontFace[] = "Arial Black";
constexpr char kTextFontFace[] = "Arial";

}  // namespace vemo
