// The plug-in's settings: eleven option flags, the destination folder of the copy and
// move actions, and the hotkey combinations, kept in the section "[Vemo Plugin]" of the
// player's shared Plugin.ini. Other plug-ins keep their sections in the same file, so
// only our section is ever replaced and every other byte is kept. The file stays 8-bit
// text without a byte-order mark, as older copies of the plug-in read it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/hotkey_table.h"
#include "text/file_access.h"

namespace vemo {

// The options in the order of their bytes; the configuration window's check box N
// stands for option N.
enum class OptionId : uint8_t {
    RemoveFolder = 1,
    Disabled,
    VemoOnSongStart,
    LaunchMinimized,
    Autoplay,
    Visualization,
    TrackNumbers,
    DisableVemos,
    PromptOnDeletion,
    SystrayIcon,
    // Win+Delete sends the file to the Recycle Bin instead of deleting it for good.
    RecycleBin,
};

constexpr int32_t kOptionCount = 11;
// The edit field's buffer holds 260 UTF-16 units with the terminator.
constexpr size_t kMaxDestinationFolder = 259;

struct Settings {
    // Zero = off, anything else = on; byte N-1 is option N.
    std::array<uint8_t, kOptionCount> Options{};
    std::string DestinationFolder;  // UTF-8
    HotkeyTable Hotkeys{};
    // Set when the file existed but could not be read through: it is then never
    // replaced, so whatever other plug-ins (and we) kept there survives.
    bool KeepExistingFile = false;

    static constexpr bool IsOptionId(int32_t id) { return id >= 1 && id <= kOptionCount; }
    // The byte of option id 1..kOptionCount; null for any other id.
    uint8_t* OptionByte(int32_t id) { return IsOptionId(id) ? &Options[static_cast<size_t>(id - 1)] : nullptr; }
    const uint8_t* OptionByte(int32_t id) const {
        return IsOptionId(id) ? &Options[static_cast<size_t>(id - 1)] : nullptr;
    }

    bool IsOn(OptionId id) const { return Options[static_cast<size_t>(id) - 1] != 0; }
    void Set(OptionId id, bool on) { Options[static_cast<size_t>(id) - 1] = on ? 1 : 0; }

    bool OptRemoveFolder() const { return IsOn(OptionId::RemoveFolder); }
    bool OptDisabled() const { return IsOn(OptionId::Disabled); }
    bool OptVemoOnSongStart() const { return IsOn(OptionId::VemoOnSongStart); }
    bool OptLaunchMinimized() const { return IsOn(OptionId::LaunchMinimized); }
    bool OptAutoplay() const { return IsOn(OptionId::Autoplay); }
    bool OptVisualization() const { return IsOn(OptionId::Visualization); }
    bool OptTrackNumbers() const { return IsOn(OptionId::TrackNumbers); }
    bool OptDisableVemos() const { return IsOn(OptionId::DisableVemos); }
    bool OptPromptOnDeletion() const { return IsOn(OptionId::PromptOnDeletion); }
    bool OptSystrayIcon() const { return IsOn(OptionId::SystrayIcon); }
    bool OptRecycleBin() const { return IsOn(OptionId::RecycleBin); }
};

// Options "Remove folder", "Vemo on song start", "Prompt on deletion", "Systray icon"
// and "Recycle bin" on, the rest off; no destination folder; the default hotkeys.
Settings DefaultSettings();

enum class SettingsStatus : uint8_t {
    Ok,
    NoFile,       // nothing at the path; the settings were left as they were
    NoSection,    // read through, but our section is not in it; the settings were left as they were
    Unreadable,   // the file exists but could not be opened or read through; it was left alone
    WriteFailed,  // the new content could not be put in place; the old file is intact
};

// The key of an option in the file, with its "=" ("Remove folder=").
std::string_view OptionKey(OptionId id);

// The destination folder is kept under two keys. "Destination folder=" holds it as older
// copies read it, in the code page: the folder's own bytes where it converts whole, else
// its short form (which the code page always holds), else each character the code page
// lacks as "?", which makes an older copy report a missing folder rather than use
// another. Only in those cases does "Destination folder UTF-8=" follow with the folder
// whole; it is trusted only while the old key still holds what this copy writes for it,
// so that a folder chosen since by an older copy wins.
// How the short form of a path is found; ShortPathOf of the file system by default.
using ShortPathFinder = std::optional<std::string> (*)(const std::string& path);
// What the old key holds for a folder.
std::string FolderForOlderCopies(const std::string& folder, ShortPathFinder shortPath = ShortPathOf);

// Reads our section of the file at path into settings: keys found there replace what
// settings holds, everything else stays. When the file cannot be read through, the
// lines read before the failure are applied and settings.KeepExistingFile is set.
SettingsStatus ReadSettings(const std::string& path, Settings& settings, ShortPathFinder shortPath = ShortPathOf);

// What the start found of the settings: the status of the file at the plug-in's place,
// whether the section came from the file at the older place instead, and whether neither
// holds one (the plug-in's first start for this user: nothing of theirs to keep).
struct SettingsStart {
    SettingsStatus Status = SettingsStatus::NoFile;
    bool CarriedOver = false;
    bool FirstStart = false;
};
// ReadSettings at path; when that file is missing or has no section of ours and the file
// at olderPath (where older copies kept it) has one read through, that one is read
// instead. Everything is written to path from then on; the older file is left alone.
SettingsStart ReadSettingsOrCarryOver(const std::string& path, const std::string& olderPath, Settings& settings,
                                      ShortPathFinder shortPath = ShortPathOf);

// The same for a whole file's content already in memory (its last line counts even
// without a line end), for callers that hold the bytes.
void ApplySettingsText(std::string_view content, Settings& settings, ShortPathFinder shortPath = ShortPathOf);

// Rewrites the file at path with our section, as the last section, made from settings;
// every other section stays as it was. The new content goes to a fresh file beside the
// old one, which then takes its place in one step, so a crash leaves either the old file
// or the new one. Does nothing when settings.KeepExistingFile is set or when the
// existing file cannot be read. A missing folder of the file (a player's settings folder
// without a Plugins folder yet) is made.
SettingsStatus WriteSettings(const std::string& path, const Settings& settings, ShortPathFinder shortPath = ShortPathOf);

// The whole content WriteSettings puts at the place of existing (the old file's bytes,
// empty when there was none).
std::string ComposeSettingsFile(std::string_view existing, const Settings& settings,
                                ShortPathFinder shortPath = ShortPathOf);

// The player's folder from the process command line (UTF-8), which starts with the
// player's path in double quotes. Without one, the running program's own path is used.
std::string PlayerDirectory(std::string_view commandLine);

// playerDirectory + "\Plugins\Plugin.ini" (with the platform's separator).
std::string SettingsPath(const std::string& playerDirectory);

// Bytes asked of the file per read.
constexpr size_t kSettingsReadChunk = 4096;
// A larger file is not ours to rewrite: it is treated as unreadable.
constexpr int64_t kMaxSettingsFileSize = 16 * 1024 * 1024;

}  // namespace vemo
