// Files, the shell and the settings with names in other scripts, through the wide calls.
// Every check looks at the disk through the wide calls of its own, so a name that went
// through the code page on the way ("?" for what it lacks) shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "support/temp_dir.h"
#include "text/file_access.h"
#include "text/file_ops.h"
#include "text/unicode.h"
#include "win/module_state.h"
#include "win/outside_effects.h"

namespace vemo {
namespace {

using test::TempDir;

std::string Join(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

bool MakeFolder(const std::string& path) { return CreateDirectoryW(ToWide(path).c_str(), nullptr) != FALSE; }

bool ExistsOnDisk(const std::string& path) { return GetFileAttributesW(ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

// The names in a folder as the system spells them, sorted.
std::string Listing(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(ToWide(folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") names.push_back(FromWide(name));
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& name : names) joined += (joined.empty() ? "" : "|") + name;
    return joined;
}

std::string ReadOnDisk(const std::string& path) {
    HANDLE h = CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<cannot open>";
    std::string bytes(1 << 16, '\0');
    DWORD got = 0;
    ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(h);
    bytes.resize(got);
    return bytes;
}

bool WriteThroughModule(const std::string& path, const std::string& bytes) {
    File file = File::CreateNew(path);
    return file && file.Write(bytes.data(), bytes.size());
}

struct Name {
    const char* What;
    std::string Plain;
    std::string OtherCase;  // the same name in other letters' case ("" where the script has none)
    std::string Neighbour;  // another name that differs in one character
};

// "ソ" is 0x83 0x5C in the Japanese code page: its second byte is the separator's.
const Name kNames[] = {
    {"Cyrillic", "4 Кино - demo.mp3", "4 КИНО - DEMO.mp3", "4 Кина - demo.mp3"},
    {"Japanese", "ソング.mp3", "ソング.MP3", "ゾング.mp3"},
    {"emoji", "🎵 song.mp3", "🎵 SONG.mp3", "🎶 song.mp3"},
    {"Greek", "Μουσική.mp3", "ΜΟΥΣΙΚΉ.mp3", "Μουσικη.mp3"},
};

class WideFiles : public ::testing::TestWithParam<Name> {
protected:
    void SetUp() override {
        ASSERT_TRUE(MakeFolder(source_));
        ASSERT_TRUE(MakeFolder(greek_));
    }
    void TearDown() override { ResetOutsideEffects(); }

    TempDir dir_;
    std::string source_ = dir_.File("src");
    std::string greek_ = dir_.File("Μουσική");
};

// Every file operation of the file actions on the name, into a folder named in Greek.
TEST_P(WideFiles, CopyMoveRenameAttributesAndDelete) {
    const Name& n = GetParam();
    const std::string from = Join(source_, n.Plain);
    const std::string to = Join(greek_, n.Plain);
    ASSERT_TRUE(WriteThroughModule(from, "song bytes"));
    EXPECT_EQ(Listing(source_), n.Plain);
    EXPECT_EQ(FolderOf(to), greek_);
    EXPECT_EQ(ListedFileSize(from), 10);
    const std::optional<std::string> final = FinalPathOf(from);
    ASSERT_TRUE(final);
    EXPECT_TRUE(final->ends_with("\\src\\" + n.Plain)) << *final;

    EXPECT_EQ(IsSameFile(from, to), false);
    EXPECT_EQ(CopyFileReplacing(from, to), FileOpStatus::Done);
    EXPECT_EQ(ReadOnDisk(to), "song bytes");
    EXPECT_EQ(Listing(greek_), n.Plain);  // no temporary file left beside it

    const std::optional<uint32_t> attributes = FileAttributes(to);
    ASSERT_TRUE(attributes);
    ASSERT_TRUE(SetAttributes(to, *attributes | kAttrReadOnly));
    EXPECT_NE(GetFileAttributesW(ToWide(to).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    ASSERT_TRUE(SetAttributes(to, *attributes));

    ASSERT_TRUE(WriteThroughModule(Join(source_, n.Neighbour), "neighbour"));
    EXPECT_EQ(IsSameFile(from, Join(source_, n.Neighbour)), false);
    EXPECT_EQ(MoveFileReplacing(from, to), FileOpStatus::Done);
    EXPECT_EQ(Listing(source_), n.Neighbour);
    EXPECT_EQ(ReadOnDisk(to), "song bytes");

    // A change of letter case only: the same file, renamed in place.
    const std::string upper = Join(greek_, n.OtherCase);
    EXPECT_EQ(IsSameFile(to, upper), true);
    EXPECT_TRUE(RenameWithoutReplacing(to, upper));
    EXPECT_EQ(Listing(greek_), n.OtherCase);
    EXPECT_TRUE(RemoveFile(upper));
    EXPECT_EQ(Listing(greek_), "");
    EXPECT_EQ(RemoveEmptiedFolders(Join(greek_, "x.mp3")), 1);
    EXPECT_FALSE(ExistsOnDisk(greek_));
}

// Wine's shell recycles into the desktop's trash in the user's home, which Wine names
// in the environment as "\??\Z:\home\user".
std::string TrashFolder() {
    wchar_t buffer[MAX_PATH] = {};
    std::string home;
    if (GetEnvironmentVariableW(L"WINEHOMEDIR", buffer, MAX_PATH)) home = FromWide(buffer);
    if (home.starts_with("\\??\\")) home.erase(0, 4);
    return home + "\\.local\\share\\Trash";
}

// Only a delete with undo reaches the real shell: handed one without, Wine's shell asks
// and the suite would hang on the question instead of failing.
int ShellWithUndoOnly(SHFILEOPSTRUCTW* operation) {
    return operation->fFlags & FOF_ALLOWUNDO ? SHFileOperationW(operation) : ERROR_ACCESS_DENIED;
}

TEST_P(WideFiles, RecycleBinThroughTheShell) {
    const Name& n = GetParam();
    Effects().ShellFileOperation = ShellWithUndoOnly;
    // A name no other run has put into the trash.
    const std::string name = "vemo" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) +
                             " " + n.Plain;
    const std::string path = Join(greek_, name);
    ASSERT_TRUE(WriteThroughModule(path, "recycled"));
    EXPECT_EQ(Effects().HasRecycleBin(path), Effects().HasRecycleBin(dir_.Path()));
    ASSERT_EQ(Effects().Recycle(nullptr, path), RecycleResult::Done);
    EXPECT_FALSE(ExistsOnDisk(path));
    const std::string trashed = TrashFolder() + "\\files\\" + name;
    EXPECT_EQ(ReadOnDisk(trashed), "recycled");
    DeleteFileW(ToWide(trashed).c_str());
    DeleteFileW(ToWide(TrashFolder() + "\\info\\" + name + ".trashinfo").c_str());
}

INSTANTIATE_TEST_SUITE_P(Scripts, WideFiles, ::testing::ValuesIn(kNames),
                         [](const auto& param) { return std::string(param.param.What); });

// The path limit counts UTF-16 units, as Windows does: a path of 300 bytes and fewer
// than 200 units fits, and its temporary name beside it is the plain one.
TEST(WideFileLimits, PathLimitCountsUtf16Units) {
    TempDir dir;
    const std::string folder = dir.File(std::string(60, 'f'));
    ASSERT_TRUE(MakeFolder(folder));
    std::string name;
    for (int i = 0; i < 70; ++i) name += "ソ";
    const std::string target = Join(folder, name + ".mp3");
    ASSERT_GT(target.size(), size_t{MAX_PATH});
    ASSERT_LT(Utf16Length(target), size_t{200});
    EXPECT_TRUE(PathFits(target));
    ASSERT_TRUE(WriteThroughModule(target, "x"));
    std::string tempPath;
    File temp = CreateTemporaryBeside(target, tempPath);
    EXPECT_TRUE(temp);
    EXPECT_EQ(tempPath, target + ".vemo0.tmp");
    temp.Close();
    EXPECT_EQ(Listing(folder), name + ".mp3|" + name + ".mp3.vemo0.tmp");

    // One unit past the limit does not fit, counted in units however many bytes it takes.
    const std::string longest = "C:\\" + std::string(255, 'n');
    EXPECT_TRUE(PathFits(longest));
    EXPECT_FALSE(PathFits("C:\\" + std::string(254, 'n') + "🎵"));
    EXPECT_TRUE(PathFits("C:\\" + std::string(253, 'n') + "🎵"));
}

// Where the system has short names, the old settings key can name a folder outside the
// code page; the short form leads to the same folder.
TEST(WideFileLimits, ShortFormNamesTheSameFolder) {
    TempDir dir;
    const std::string folder = dir.File("Музыка 🎵");
    ASSERT_TRUE(MakeFolder(folder));
    const std::optional<std::string> shortForm = ShortPathOf(folder);
    if (!shortForm || *shortForm == folder) GTEST_SKIP() << "no short names on this volume";
    for (unsigned char c : *shortForm) EXPECT_LT(c, 0x80) << *shortForm;
    ASSERT_TRUE(WriteThroughModule(Join(*shortForm, "x.mp3"), "x"));
    EXPECT_EQ(Listing(folder), "x.mp3");
    EXPECT_FALSE(ShortPathOf(dir.File("missing Ж")));
}

// ---- Message boxes ----

std::string gBoxCaption, gBoxText;

// Runs inside the message box's own loop: reads the box as the user sees it, then closes it.
void CALLBACK ReadAndCloseBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = FindWindowW(L"#32770", nullptr);
    if (!box) return;
    KillTimer(nullptr, timer);
    wchar_t text[256] = {};
    GetWindowTextW(box, text, 256);
    gBoxCaption = FromWide(text);
    GetDlgItemTextW(box, 0xFFFF, text, 256);  // the static control that holds the text
    gBoxText = FromWide(text);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST(WideMessageBox, TextAndCaptionInAnyScript) {
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, ReadAndCloseBox);
    ASSERT_NE(timer, 0u);
    const std::string text = "Move \"ソング 🎵.mp3\" to \"Μουσική\"?";
    EXPECT_EQ(AskUser(nullptr, text.c_str(), "Кино", MB_OK), IDOK);
    KillTimer(nullptr, timer);
    EXPECT_EQ(gBoxCaption, "Кино");
    EXPECT_EQ(gBoxText, text);
}

// ---- The settings of a player whose folder is named in Cyrillic ----

constexpr wchar_t kChildSwitch[] = L"VEMO_WIDE_SETTINGS_CHILD";

// Run in a copy of this program inside the player folder: the settings are found there,
// and written and read back with a folder outside the code page.
void CheckSettingsInOwnFolder() {
    const std::string path = CurrentSettingsPath();
    EXPECT_EQ(path, Join(Join(FolderOf(ProgramPath()), "Plugins"), "Plugin.ini"));
    EXPECT_NE(path.find("\\Плеер ♫\\"), std::string::npos) << path;
    Settings s = DefaultSettings();
    s.Set(OptionId::Autoplay, true);
    s.DestinationFolder = "D:\\Μουσική 🎵";
    ASSERT_EQ(WriteSettings(path, s), SettingsStatus::Ok);
    Settings back = DefaultSettings();
    ASSERT_EQ(ReadSettings(path, back), SettingsStatus::Ok);
    EXPECT_TRUE(back.OptAutoplay());
    EXPECT_EQ(back.DestinationFolder, s.DestinationFolder);
}

DWORD RunChild(const std::wstring& program, std::wstring commandLine, bool nameTheProgram) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    SetEnvironmentVariableW(kChildSwitch, L"1");
    const BOOL started = CreateProcessW(nameTheProgram ? program.c_str() : nullptr, commandLine.data(), nullptr, nullptr,
                                        FALSE, 0, nullptr, nullptr, &startup, &child);
    SetEnvironmentVariableW(kChildSwitch, nullptr);
    if (!started) return 0xFFFFFFFFu;
    DWORD code = 0xFFFFFFFEu;
    if (WaitForSingleObject(child.hProcess, 120000) == WAIT_OBJECT_0) GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return code;
}

TEST(WideSettingsPath, PlayerFolderNamedInCyrillic) {
    if (GetEnvironmentVariableW(kChildSwitch, nullptr, 0) != 0) return CheckSettingsInOwnFolder();
    TempDir dir;
    // "♫" is outside every Western and Cyrillic code page.
    const std::string player = dir.File("Плеер ♫");
    ASSERT_TRUE(MakeFolder(player));
    ASSERT_TRUE(MakeFolder(Join(player, "Plugins")));
    const std::wstring program = ToWide(Join(player, "player.exe"));
    ASSERT_TRUE(CopyFileW(ToWide(ProgramPath()).c_str(), program.c_str(), TRUE));
    const std::wstring filter = L" --gtest_filter=WideSettingsPath.PlayerFolderNamedInCyrillic";
    const std::string ini = Join(Join(player, "Plugins"), "Plugin.ini");

    // The player's path quoted first on the command line, as players start.
    EXPECT_EQ(RunChild(program, L"\"" + program + L"\"" + filter, false), 0u);
    EXPECT_NE(ReadOnDisk(ini).find("\r\nAutoplay=1\r\n"), std::string::npos);
    // Without it, the program's own path.
    DeleteFileW(ToWide(ini).c_str());
    EXPECT_EQ(RunChild(program, L"player" + filter, true), 0u);
    EXPECT_NE(ReadOnDisk(ini).find("\r\nDestination folder UTF-8=D:\\Μουσική 🎵\r\n"), std::string::npos);
    DeleteFileW(program.c_str());
}

}  // namespace
}  // namespace vemo
