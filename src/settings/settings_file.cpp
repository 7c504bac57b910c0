// Plugin.ini is a text of lines ending in CR LF (the last one may have none). A section
// starts at its header line and runs to the next line that begins with "[" or to the
// end. Our section:
//   [Vemo Plugin]
//   <option key>=1|0          eleven lines, in kWriteOrder
//   Destination folder=<the folder in the code page, or its short form>
//   Destination folder UTF-8=<the folder>    only where the line above cannot hold it
//   <hotkey name>=<Modifiers> <VirtualKey>   ids 1..35, the last line without a line end
// Reading accepts lines ending in LF alone, and blanks around keys, "=" and values, as
// well, since people edit the file by hand.
#include "settings/settings_file.h"

#include <optional>
#include <vector>

#include "text/code_page.h"
#include "text/file_access.h"
#include "text/text.h"
#include "text/unicode.h"

namespace vemo {

namespace {

constexpr std::string_view kSectionHeader = "[Vemo Plugin]";
constexpr std::string_view kFolderKey = "Destination folder=";
constexpr std::string_view kFolderUtf8Key = "Destination folder UTF-8=";
constexpr std::string_view kLineEnd = "\r\n";
constexpr char kSectionStart = '[';
constexpr char kEquals = '=';
constexpr char kValueSeparator = ' ';

// Indexed by option id - 1.
constexpr std::string_view kOptionKeys[kOptionCount] = {
    "Remove folder=", "Disabled=",       "Vemo on song start=", "Launch minimized=",   "Autoplay=",
    "Visualization=", "Track numbers=", "Disable vemos=",      "Prompt on deletion=", "Systray icon=",
    "Recycle bin=",
};

// Other plug-ins and older copies of ours expect the option lines in this order. Keys
// added later come last: older copies skip a key they do not know, and read its absence
// as the default, so the file moves between versions safely.
constexpr OptionId kWriteOrder[kOptionCount] = {
    OptionId::VemoOnSongStart, OptionId::LaunchMinimized, OptionId::Autoplay,  OptionId::Visualization,
    OptionId::DisableVemos,    OptionId::TrackNumbers,    OptionId::Disabled,  OptionId::PromptOnDeletion,
    OptionId::RemoveFolder,    OptionId::SystrayIcon,     OptionId::RecycleBin,
};

struct Line {
    size_t Start;           // offset of its first byte in the file
    std::string_view Text;  // without its line end
};

// Calls fn for every line. A line ends at LF; a CR just before it belongs to the line
// end. The last line, when it has no line end, is passed only if takeUnfinished.
template <typename Fn>
void ForEachLine(std::string_view content, bool takeUnfinished, Fn fn) {
    size_t start = 0;
    while (start < content.size()) {
        size_t lf = content.find('\n', start);
        if (lf == std::string_view::npos) {
            if (takeUnfinished) fn(Line{start, content.substr(start)});
            return;
        }
        size_t end = lf > start && content[lf - 1] == '\r' ? lf - 1 : lf;
        fn(Line{start, content.substr(start, end - start)});
        start = lf + 1;
    }
}

bool BeginsSection(std::string_view line) { return !line.empty() && line.front() == kSectionStart; }

// The keys of the options and the folder are kept with their "=", as they are written.
constexpr std::string_view KeyName(std::string_view key) { return key.substr(0, key.size() - 1); }

uint8_t LowByte(int32_t value) { return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu); }

// "<Modifiers> <VirtualKey>", split at the last blank; without a blank, all of it is
// Modifiers.
HotkeyEntry ParseHotkeyValue(std::string_view value) {
    size_t blank = value.rfind(kValueSeparator);
    if (blank == std::string_view::npos) return {StrToIntVal(value), 0};
    return {StrToIntVal(value.substr(0, blank)), StrToIntVal(Trim(value.substr(blank)))};
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

// The value of the line when it is the key name's, else nothing. Blanks around the
// name, the "=" and the value do not count, as people write by hand ("Next = 10 86")
// and as the system's own profile functions read it. A hotkey line may have any one
// character in place of the "=".
std::optional<std::string> ValueOf(std::string_view line, std::string_view name, bool anySeparator) {
    line = SkipBlanks(line);
    if (!line.starts_with(name)) return std::nullopt;
    const std::string_view rest = line.substr(name.size());
    const std::string_view afterBlanks = SkipBlanks(rest);
    if (afterBlanks.starts_with(kEquals)) return Trim(afterBlanks.substr(1));
    if (!anySeparator) return std::nullopt;
    return Trim(rest.empty() ? rest : rest.substr(1));
}

// The two folder keys as read; which one counts is settled once the section is read.
struct FolderKeys {
    std::optional<std::string> CodePage;
    std::optional<std::string> Utf8;
};

// Every key the line begins with takes its value from it; keys are case-sensitive.
void ApplyLine(std::string_view line, Settings& settings, FolderKeys& folder) {
    for (int32_t id = 1; id <= kOptionCount; ++id) {
        if (const auto value = ValueOf(line, KeyName(kOptionKeys[id - 1]), false)) {
            *settings.OptionByte(id) = LowByte(StrToIntVal(*value));
        }
    }
    if (auto value = ValueOf(line, KeyName(kFolderKey), false)) folder.CodePage = std::move(value);
    if (auto value = ValueOf(line, KeyName(kFolderUtf8Key), false)) folder.Utf8 = std::move(value);
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        if (const auto value = ValueOf(line, HotkeySlotOf(id).KeyName, true)) {
            settings.Hotkeys[id] = ParseHotkeyValue(*value);
        }
    }
}

std::vector<std::string_view> PathParts(std::string_view path) {
    std::vector<std::string_view> parts;
    for (;;) {
        const size_t cut = path.find_first_of("\\/");
        parts.push_back(path.substr(0, cut));
        if (cut == std::string_view::npos) return parts;
        path.remove_prefix(cut + 1);
    }
}

// Whether the old key may have been a short form written for folder while folder cannot
// be looked up now (a drive not plugged in): part by part, the same where the part fits
// the code page, or else a short name ("MUZYKA~1"), which long Latin parts get too.
bool MayBeShortFormOf(std::string_view old, const std::string& folder) {
    const std::vector<std::string_view> oldParts = PathParts(old);
    const std::vector<std::string_view> parts = PathParts(folder);
    if (oldParts.size() != parts.size()) return false;
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::optional<std::string> bytes = Utf8ToCodePage(parts[i]);
        const bool shortName = oldParts[i].find('~') != std::string_view::npos;
        if (bytes ? oldParts[i] != *bytes && !shortName : !shortName) return false;
    }
    return true;
}

// Whether the old key still holds what this copy writes for folder; else an older copy
// has chosen another folder since.
bool OldKeyStillFits(const std::string& old, const std::string& folder, ShortPathFinder shortPath) {
    if (old == FolderForOlderCopies(folder, shortPath)) return true;
    // A folder that is not there now has no short form to compare with.
    if (Utf8ToCodePage(folder) || shortPath(folder)) return false;
    return MayBeShortFormOf(old, folder);
}

std::string ChosenFolder(const FolderKeys& keys, ShortPathFinder shortPath) {
    if (keys.Utf8 && OldKeyStillFits(*keys.CodePage, *keys.Utf8, shortPath)) return ValidUtf8(*keys.Utf8);
    return CodePageToUtf8(*keys.CodePage);
}

// Only the first of our sections counts; a later header of ours ends it like any other.
// Whether there was one.
bool ApplySection(std::string_view content, bool complete, Settings& settings, ShortPathFinder shortPath) {
    bool inSection = false;
    bool sectionEnded = false;
    FolderKeys folder;
    ForEachLine(content, complete, [&](const Line& line) {
        if (sectionEnded) return;
        if (inSection && BeginsSection(line.Text)) sectionEnded = true;
        if (line.Text == kSectionHeader) inSection = true;
        if (inSection && !sectionEnded) ApplyLine(line.Text, settings, folder);
    });
    // Without the old key there is nothing the new one could be checked against.
    if (folder.CodePage) settings.DestinationFolder = ChosenFolder(folder, shortPath);
    return inSection;
}

// The file without any of our sections (there may be several made by hand); every
// other byte stays where it was.
std::string WithoutOurSections(std::string_view content) {
    std::string kept;
    size_t keepFrom = 0;
    bool inOurs = false;
    ForEachLine(content, true, [&](const Line& line) {
        if (!BeginsSection(line.Text)) return;
        if (inOurs) {
            keepFrom = line.Start;
            inOurs = false;
        }
        if (line.Text == kSectionHeader) {
            kept.append(content.substr(keepFrom, line.Start - keepFrom));
            inOurs = true;
        }
    });
    if (!inOurs) kept.append(content.substr(keepFrom));
    return kept;
}

bool EndsWithLineEnd(std::string_view text) { return text.ends_with('\n'); }
bool EndsWithEmptyLine(std::string_view text) { return text.ends_with("\n\n") || text.ends_with("\n\r\n"); }


// What the edit field gives back, and never a line end: one would split the section.
// Without the blanks at its ends, which the reader drops, so that it reads back as written.
std::string StorableFolder(std::string_view folder) {
    const std::string valid = ValidUtf8(folder);
    const std::string_view kept = Utf16Prefix(valid, kMaxDestinationFolder);
    return Trim(kept.substr(0, kept.find_first_of("\r\n")));
}

void AppendSection(std::string& text, const Settings& settings, ShortPathFinder shortPath) {
    text += kSectionHeader;
    text += kLineEnd;
    for (OptionId id : kWriteOrder) {
        text += OptionKey(id);
        text += settings.IsOn(id) ? '1' : '0';
        text += kLineEnd;
    }
    const std::string folder = StorableFolder(settings.DestinationFolder);
    text += kFolderKey;
    text += FolderForOlderCopies(folder, shortPath);
    // Written after the old key: older copies skip a key they do not know.
    if (!ConvertsLosslessly(folder)) {
        text += kLineEnd;
        text += kFolderUtf8Key;
        text += folder;
    }
    for (int32_t id = kFirstHotkeyId; id <= kStoredHotkeyCount; ++id) {
        const HotkeyEntry& entry = settings.Hotkeys[id];
        text += kLineEnd;  // before each line, so the last one has none
        text += HotkeySlotOf(id).KeyName;
        text += kEquals;
        text += NumToStr(false, entry.Modifiers);
        text += kValueSeparator;
        text += NumToStr(false, entry.VirtualKey);
    }
}

enum class ReadResult : uint8_t { Complete, NoFile, Failed };

// The whole file, in chunks. On failure content keeps what was read before it.
ReadResult ReadWholeFile(const std::string& path, std::string& content) {
    content.clear();
    File file = File::OpenRead(path, Share::Read);
    if (!file) {
        // Only a file that is truly not there may be created anew; one we merely cannot
        // open belongs to someone and must be left alone.
        return FileAttributes(path) ? ReadResult::Failed : ReadResult::NoFile;
    }
    char buffer[kSettingsReadChunk];
    for (;;) {
        int64_t count = file.Read(buffer, sizeof buffer);
        if (count < 0) return ReadResult::Failed;
        if (count == 0) return ReadResult::Complete;
        if (count > kMaxSettingsFileSize - static_cast<int64_t>(content.size())) return ReadResult::Failed;
        content.append(buffer, static_cast<size_t>(count));
    }
}

// A player's settings folder may have no Plugins folder yet; only that last folder is
// made, never a whole path that names nothing.
void MakeFolderOf(const std::string& path) {
    const std::string folder = FolderOf(path);
    if (!folder.empty() && !DirectoryExists(folder)) CreateFolder(folder);
}

bool WriteAll(File& file, const std::string& content) {
    return file && file.Write(content.data(), content.size()) && file.Flush();
}

// Last resort when no file can be made beside the old one, or it cannot take the old
// one's place: not crash-safe, but the settings are not lost.
bool RewriteInPlace(const std::string& path, const std::string& content) {
    File file = File::CreateAlways(path, Share::None);
    return WriteAll(file, content);
}

}  // namespace

std::string_view OptionKey(OptionId id) { return kOptionKeys[static_cast<size_t>(id) - 1]; }

std::string FolderForOlderCopies(const std::string& folder, ShortPathFinder shortPath) {
    if (std::optional<std::string> bytes = Utf8ToCodePage(folder)) return *std::move(bytes);
    if (std::optional<std::string> shortForm = shortPath(folder)) {
        if (std::optional<std::string> bytes = Utf8ToCodePage(*shortForm)) return *std::move(bytes);
    }
    return Utf8ToCodePageLossy(folder);
}

Settings DefaultSettings() {
    Settings settings;
    settings.Set(OptionId::RemoveFolder, true);
    settings.Set(OptionId::VemoOnSongStart, true);
    settings.Set(OptionId::PromptOnDeletion, true);
    settings.Set(OptionId::SystrayIcon, true);
    // On for new settings and for those written before the option existed.
    settings.Set(OptionId::RecycleBin, true);
    FillDefaultHotkeys(settings.Hotkeys);
    return settings;
}

SettingsStatus ReadSettings(const std::string& path, Settings& settings, ShortPathFinder shortPath) {
    std::string content;
    ReadResult result = ReadWholeFile(path, content);
    if (result == ReadResult::NoFile) return SettingsStatus::NoFile;
    // After a failure the unfinished last line may be cut short, so it is not used.
    const bool found = ApplySection(content, result == ReadResult::Complete, settings, shortPath);
    if (result == ReadResult::Complete) return found ? SettingsStatus::Ok : SettingsStatus::NoSection;
    settings.KeepExistingFile = true;
    return SettingsStatus::Unreadable;
}

SettingsStart ReadSettingsOrCarryOver(const std::string& path, const std::string& olderPath, Settings& settings,
                                      ShortPathFinder shortPath) {
    SettingsStart start{ReadSettings(path, settings, shortPath)};
    const bool nothingHere = start.Status == SettingsStatus::NoFile || start.Status == SettingsStatus::NoSection;
    if (!nothingHere) return start;
    if (olderPath.empty() || olderPath == path) {
        start.FirstStart = true;
        return start;
    }
    // Read apart: a file there that fails half-way must neither mix into the settings
    // nor keep the plug-in from writing its own place.
    Settings older = settings;
    const SettingsStatus olderStatus = ReadSettings(olderPath, older, shortPath);
    if (olderStatus == SettingsStatus::Ok) {
        settings = std::move(older);
        start.CarriedOver = true;
    }
    // Settings that could not be read are still the user's: not a first start.
    start.FirstStart = olderStatus == SettingsStatus::NoFile || olderStatus == SettingsStatus::NoSection;
    return start;
}

void ApplySettingsText(std::string_view content, Settings& settings, ShortPathFinder shortPath) {
    ApplySection(content, true, settings, shortPath);
}

std::string ComposeSettingsFile(std::string_view existing, const Settings& settings, ShortPathFinder shortPath) {
    std::string text = WithoutOurSections(existing);
    // Other text is followed by at least one empty line before our section.
    if (!text.empty() && !EndsWithLineEnd(text)) {
        text += kLineEnd;
        text += kLineEnd;
    }
    if (!text.empty() && !EndsWithEmptyLine(text)) text += kLineEnd;
    AppendSection(text, settings, shortPath);
    return text;
}

SettingsStatus WriteSettings(const std::string& path, const Settings& settings, ShortPathFinder shortPath) {
    if (settings.KeepExistingFile) return SettingsStatus::Unreadable;
    std::string existing;
    const ReadResult read = ReadWholeFile(path, existing);
    if (read == ReadResult::Failed) return SettingsStatus::Unreadable;
    if (read == ReadResult::NoFile) MakeFolderOf(path);
    const std::string content = ComposeSettingsFile(existing, settings, shortPath);

    std::string tempPath;
    File temp = CreateTemporaryBeside(path, tempPath);
    if (!temp) return RewriteInPlace(path, content) ? SettingsStatus::Ok : SettingsStatus::WriteFailed;

    bool written = WriteAll(temp, content);
    temp.Close();
    if (!written) {
        // Most likely a full disk: rewriting in place could then lose the old file too.
        RemoveFile(tempPath);
        return SettingsStatus::WriteFailed;
    }
    if (ReplaceFileAtomic(tempPath, path)) return SettingsStatus::Ok;

    if (RewriteInPlace(path, content)) {
        RemoveFile(tempPath);
        return SettingsStatus::Ok;
    }
    // A replace that failed half-way may have taken the old file away, leaving the
    // temporary file as the only copy: move it in, and never delete it.
    if (!FileAttributes(path)) return RenameFile(tempPath, path) ? SettingsStatus::Ok : SettingsStatus::WriteFailed;
    RemoveFile(tempPath);
    return SettingsStatus::WriteFailed;
}

std::string PlayerDirectory(std::string_view commandLine) {
    constexpr char kQuote = '"';
    if (commandLine.size() > 1 && commandLine.front() == kQuote) {
        size_t close = commandLine.find(kQuote, 1);
        if (close != std::string_view::npos && close > 1) {
            std::string folder = FolderOf(std::string(commandLine.substr(1, close - 1)));
            if (!folder.empty()) return folder;
        }
    }
    return FolderOf(ProgramPath());
}

std::string SettingsPath(const std::string& playerDirectory) {
    const char sep = PathSeparator();
    return playerDirectory + sep + "Plugins" + sep + "Plugin.ini";
}

}  // namespace vemo
