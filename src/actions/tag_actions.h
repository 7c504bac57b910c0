// The hotkey action that makes a tag from the file's name: the player lets go of the
// file, the portable tag writer rewrites it, the player goes on where it was.
#pragma once

namespace vemo {

constexpr unsigned kTagPopupMs = 2000;

void MakeTagFromFileName();

}  // namespace vemo
