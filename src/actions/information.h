// Hotkey actions that show facts about the current playlist entry: its file and MPEG
// stream, its ID3 tags (in InfoPopup), and the live track line (in MainPopup). They
// only read; the file is opened and closed within each action.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace vemo {

// How long each display stays.
constexpr UINT kFileInfoMs = 6500;
constexpr UINT kTrackInfoMs = 5000;
constexpr UINT kID3v1InfoMs = 4000;
constexpr UINT kID3v2InfoMs = 5500;
constexpr UINT kNoTagInfoMs = 4000;
// The "Playlist track number in vemo" hint timer is borrowed by the ID3v1 display: it
// takes the box away a little earlier while the pointer is elsewhere.
constexpr UINT_PTR kID3v1HintTimer = 10;
constexpr UINT kID3v1HintMs = 3500;
// MainPopup's time after a tag action, which leaves it hidden or shows "Not an MP3 file".
constexpr UINT kTagActionMainMs = 2000;

// The tag of path into CurrentID3v1 / CurrentID3v2, which is replaced only by a tag that
// was read. False when the file cannot be opened since its tag test: quietly for
// ID3v1, reported for ID3v2, as the two tag tests do.
bool ReadCurrentID3v1(const std::string& path);
bool ReadCurrentID3v2(const std::string& path);
// Every information, file and tag action does nothing on an empty playlist.
bool PlaylistHasEntries();
// The full path of the current playlist entry, asked afresh from the player, as far as
// the player could give it: only for reading facts, where a name that names nothing fails.
std::string CurrentFile();
// The current entry's file for an action that reads or changes it. Nothing, after
// telling the user, when the player could not give the name whole.
std::optional<std::string> FileToActOn();
// Shows a file error of the core ("Cannot open file for reading") in the "Error" box.
void ReportFileError(const std::string& message);

// Folder, name, size and (for an MP3 name) the stream facts of the current file.
void ShowFileInfo();
// The current entry's title, position and state, kept current by the live display.
void ShowTrackInfo();
void ShowID3v1Info();
void ShowID3v2Info();
// The ID3v2 tag when there is one, else the ID3v1 tag.
void ShowID3AnyInfo();

}  // namespace vemo
