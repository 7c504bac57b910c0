// Texts of the tray button, exactly as the user sees them.
#pragma once

namespace vemo {

// Shown while the pointer rests on the button.
constexpr char kTrayIconTip[] = "Previous/next track (Quavix VEMO plugin)";

}  // namespace vemo
