// Playlist files (.m3u): one path a line, "#" lines are comments, relative paths are
// taken from the playlist's own folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vemo::standin {

bool IsPlaylistName(std::string_view path);
// True for "/x", "\x", "\\server\x" and "C:..." forms.
bool IsAbsolutePath(std::string_view path);
std::vector<std::string> ParseM3U(std::string_view text, const std::string& folder, char separator);
// Reads the file; empty when it cannot be read.
std::vector<std::string> ReadM3U(const std::string& path);

}  // namespace vemo::standin
