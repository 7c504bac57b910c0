// The previous/next button in the notification area. It belongs to ConfigWindow, whose
// procedure receives its clicks.
#pragma once

namespace vemo {

// Fills the icon record once, after the settings are read.
void PrepareTrayIcon();
void AddTrayIcon();
void RemoveTrayIcon();

}  // namespace vemo
