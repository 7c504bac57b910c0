// The tag made from a file's name: "Artist - Title.mp3" gives the artist and the title.
// Both go into the system's code page without loss and fit the 30-byte fields of ID3v1
// there: the ID3v1 tag at the end of the file is written or updated in place. Else the
// ID3v2 tag at the start gets TPE1 and TIT2 from the name, in an encoding that holds
// them whole, and keeps every other frame of an old 2.3 or 2.4 tag, in its version; a
// file without one gets a new 2.3 tag. No byte of the audio may be lost on any path:
// a tag that needs the audio moved is written with the whole file into a temporary
// file beside it, then swapped in (through a symbolic link, the file it leads to; its
// owner, group and extended attributes kept). Only when that cannot be done (another
// program holds the file, it has other names as hard links, or its folder takes no new
// file) is the audio moved in place, with checked writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vemo {

// The base name (after the last separator, without the extension from its last "."),
// split at its first " - ": artist before, title after. Without " - " the artist is
// empty and the title is the whole base name. Nothing is trimmed. UTF-8 in and out.
struct NameSplit {
    std::string Artist;
    std::string Title;
};
NameSplit SplitTrackName(std::string_view path);

enum class TagWriteStatus : uint8_t {
    Created,         // "ID3 tag created"
    UnknownVersion,  // an ID3v2 tag of another version than 2.3 or 2.4 is in the way
    Refused,         // the old tag cannot be rewritten faithfully, or its size is corrupt
    CannotOpen,      // the file cannot be opened for writing
    WriteFailed,     // a read or write failed; the file is as it was unless Text says
                     // it may be damaged (an in-place move and its undo both failed)
};

struct TagWriteResult {
    TagWriteStatus Status = TagWriteStatus::WriteFailed;
    // The text the user is shown: "ID3 tag created", "Unknown tag version. First delete
    // current ID3v2 tag", or what went wrong, briefly.
    std::string Text;
};

// Writes the tag from path's name into the file at path, which nothing else may be
// writing meanwhile. Every result but Created leaves the file byte for byte as it was,
// save a WriteFailed whose Text says the file may be damaged: that can happen only when
// the audio had to be moved in place and the move and its undo both failed.
TagWriteResult WriteTagFromFileName(const std::string& path);

}  // namespace vemo
