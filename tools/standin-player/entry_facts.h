// Title and length of a playlist entry, the way the player shows them: "Artist - Title"
// from the ID3v2 tag, else from the ID3v1 tag, else the file name; the length from the
// MPEG stream of the file.
#pragma once

#include <string>
#include <string_view>

#include "player_model.h"

namespace vemo::standin {

// The file name without its folder and its extension.
std::string TitleFromFileName(std::string_view path);

// "Artist - Title", the title alone without an artist, "" without a title.
std::string ComposeTitle(std::string_view artist, std::string_view title);

// Never fails: what cannot be read falls back to the file name and an unknown length.
Entry ReadEntryFacts(const std::string& path);

}  // namespace vemo::standin
