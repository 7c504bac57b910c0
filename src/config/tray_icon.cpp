#include "config/tray_icon.h"

namespace vemo {

// The button needs the module's second icon group, which the resources do not carry
// yet; until they do there is nothing to show.
void PrepareTrayIcon() {}
void AddTrayIcon() {}
void RemoveTrayIcon() {}

}  // namespace vemo
