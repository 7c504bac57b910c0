// The file and tag hotkeys against real files and the fake player: the questions and
// error boxes with their exact texts, captions, owners and flags, the player's release
// and restart, the folder walk, and no failure shown as success.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <tuple>
#include <string>
#include <vector>

#include "audio/id3v1.h"
#include "audio/id3v2.h"
#include "popup/popup_window.h"
#include "settings/hotkey_table.h"
#include "support/plugin_fixture.h"
#include "text/code_page.h"
#include "text/file_access.h"
#include "text/unicode.h"
#include "win/module_state.h"
#include "win/outside_effects.h"
#include "win/player_link.h"

namespace vemo::test {
namespace {

using namespace std::string_literals;
using Log = std::vector<std::string>;

struct Box {
    HWND Owner;
    std::string Text;
    std::string Caption;
    UINT Type;
};
std::vector<Box> gBoxes;
int gAnswer = IDOK;
// As an answer: Enter, which presses the box's default button.
constexpr int kEnter = -1;

int DefaultButton(UINT type) {
    static const int kButtons[][3] = {{IDOK}, {IDOK, IDCANCEL}, {IDABORT, IDRETRY, IDIGNORE},
                                      {IDYES, IDNO, IDCANCEL}, {IDYES, IDNO}, {IDRETRY, IDCANCEL}};
    const UINT set = type & MB_TYPEMASK;
    const UINT index = (type & MB_DEFMASK) >> 8;
    return set < 6 && index < 3 && kButtons[set][index] ? kButtons[set][index] : kButtons[set < 6 ? set : 0][0];
}

int AnswerBox(HWND owner, const char* text, const char* caption, UINT type) {
    gBoxes.push_back({owner, text, caption, type});
    return gAnswer == kEnter ? DefaultButton(type) : gAnswer;
}

// A version 2.3 tag with the given frames; sizes stay below 128.
std::string TextFrame(const std::string& id, const std::string& text) {
    return id + "\0\0\0"s + static_cast<char>(text.size() + 1) + "\0\0\0"s + text;
}
std::string ID3v2Tag(const std::string& frames, char major = 3) {
    return "ID3"s + major + "\0\0\0\0\0"s + static_cast<char>(frames.size()) + frames;
}
const std::string kAudio = "\xFF\xFB\x90\x04"s + std::string(413, '\x55');

class FileActionTest : public PopupTest {
protected:
    void SetUp() override {
        PopupTest::SetUp();
        gBoxes.clear();
        gAnswer = IDOK;
        Effects().AskUser = AnswerBox;
        dest_ = temp_.File("dest");
        CreateDirectoryA(dest_.c_str(), nullptr);
        gSettings.DestinationFolder = dest_;
    }

    // path becomes the current entry of a list of count entries, playing.
    std::string Play(const std::string& name, const std::string& bytes, size_t count = 2) {
        const std::string path = temp_.File(name);
        WriteAll(path, bytes);
        return PlayEntry(path, count);
    }
    std::string PlayEntry(const std::string& path, size_t count = 2) {
        FakePlayerScript& s = player_.Script();
        s.EntryFiles.assign(count, path);
        s.EntryTitles.assign(count, "Song");
        s.ListPosition = 0;
        s.PlayState = kPlayStatePlaying;
        s.PositionMs = 65000;
        return path;
    }

    void Press(HotkeyId id) { SendMessageA(gPlugin.MainPopup, WM_HOTKEY, static_cast<WPARAM>(id), 0); }

    std::string Shown() const { return gPopup.CurrentPopupText; }
    bool ExpectBox(HWND owner, const std::string& text, const char* caption, UINT type) {
        EXPECT_EQ(gBoxes.size(), 1u);
        if (gBoxes.size() != 1) return false;
        EXPECT_EQ(gBoxes[0].Owner, owner);
        EXPECT_EQ(gBoxes[0].Text, text);
        EXPECT_EQ(gBoxes[0].Caption, caption);
        EXPECT_EQ(gBoxes[0].Type, type);
        return true;
    }

    std::string dest_;
};

TEST_F(FileActionTest, ReadOnlyToggleNamesTheNewStateAndSaysWhenItFails) {
    const std::string path = Play("a.mp3", kAudio);
    Press(HotkeyId::ReadOnlyToggle);
    EXPECT_EQ(Shown(), " File " + path + " changed state to \"Read only\" ");
    EXPECT_TRUE(*FileAttributes(path) & kAttrReadOnly);
    Press(HotkeyId::ReadOnlyToggle);
    EXPECT_EQ(Shown(), " File " + path + " changed state to \"Read/writable\" ");
    EXPECT_FALSE(*FileAttributes(path) & kAttrReadOnly);
    EXPECT_TRUE(TakeTimer(gPlugin.MainPopup, kTimerHideMainPopup));
    RemoveFile(path);
    Press(HotkeyId::ReadOnlyToggle);
    EXPECT_EQ(Shown(), " Cannot change the file's attributes ");
}

// Whichever file operation of the toggle fails, the popup names a new state only when
// the file has it: a change that failed was once announced as done.
TEST_F(FileActionTest, ReadOnlyToggleThatFailsIsNeverAnnouncedAsDone) {
    const std::string path = Play("a.mp3", kAudio);
    for (const bool readOnly : {false, true}) {
        for (int n = 1; n <= 4; ++n) {
            SCOPED_TRACE(std::to_string(n) + (readOnly ? " from read-only" : " from writable"));
            SetAttributes(path, readOnly ? kAttrReadOnly : kAttrNormal);
            FailFileOperationAt(n);
            Press(HotkeyId::ReadOnlyToggle);
            FailFileOperationAt(0);
            const bool changed = ((*FileAttributes(path) & kAttrReadOnly) != 0) != readOnly;
            EXPECT_EQ(Shown(), changed ? " File " + path + " changed state to \"Read" +
                                             (readOnly ? "/writable\" " : " only\" ")
                                       : " Cannot change the file's attributes ");
        }
    }
    SetAttributes(path, kAttrNormal);
}

// The only entry makes the player stop, another entry lets it play on; the emptied
// folders go, bottom up, to the first one that still holds something. (The tests of the
// physical delete turn the Recycle Bin off; those of the bin follow below.)
TEST_F(FileActionTest, DeleteAsksReleasesRemovesAndWalksUpTheEmptiedFolders) {
    gSettings.Set(OptionId::RecycleBin, false);
    const std::string a = temp_.File("A");
    CreateDirectoryA(a.c_str(), nullptr);
    CreateDirectoryA((a + "\\B").c_str(), nullptr);
    WriteAll(temp_.File("keep.txt"), "x");
    const std::string path = Play("A\\B\\song.mp3", kAudio, 1);
    SetAttributes(path, kAttrReadOnly);
    Press(HotkeyId::PhysDelete);
    ASSERT_TRUE(ExpectBox(player_.Window(), "Physically delete file \"" + path + "\"?", "Sure?", 0x40131));
    EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdStop});
    EXPECT_EQ(gSongWatch.TitleChangeCount, -2);
    EXPECT_FALSE(FileAttributes(path));
    EXPECT_FALSE(DirectoryExists(a)) << "B, then A";
    EXPECT_TRUE(FileExists(temp_.File("keep.txt")));
    EXPECT_EQ(player_.EditorCommands(), std::vector<WPARAM>{CmdRemoveDeadFiles});
}

TEST_F(FileActionTest, DeleteCancelledOrUnpromptedOrWithoutFolderRemoval) {
    gSettings.Set(OptionId::RecycleBin, false);
    const std::string a = temp_.File("A");
    CreateDirectoryA(a.c_str(), nullptr);
    const std::string path = Play("A\\song.mp3", kAudio);
    gAnswer = IDCANCEL;
    Press(HotkeyId::PhysDelete);
    EXPECT_TRUE(FileExists(path));
    EXPECT_TRUE(player_.Commands().empty()) << "playback untouched";

    gBoxes.clear();
    gSettings.Set(OptionId::PromptOnDeletion, false);
    gSettings.Set(OptionId::RemoveFolder, false);
    Press(HotkeyId::PhysDelete);
    EXPECT_TRUE(gBoxes.empty());
    EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdNext});
    EXPECT_FALSE(FileAttributes(path));
    EXPECT_TRUE(DirectoryExists(a));

    Press(HotkeyId::PhysDelete);
    ExpectBox(player_.Window(), "No file to remove", "Error", MB_ICONERROR);
}

TEST_F(FileActionTest, DeleteThatFailsSaysSoAndKeepsTheReadOnlyBit) {
    gSettings.Set(OptionId::RecycleBin, false);
    const std::string path = Play("held.mp3", kAudio);
    SetAttributes(path, kAttrReadOnly | kAttrArchive);
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    gSettings.Set(OptionId::PromptOnDeletion, false);
    Press(HotkeyId::PhysDelete);
    CloseHandle(held);
    ExpectBox(player_.Window(), "Error deleting \"" + path + "\"", "Error", 0x40010);
    EXPECT_TRUE(*FileAttributes(path) & kAttrReadOnly);
    EXPECT_TRUE(player_.EditorCommands().empty());
}

// Whichever file operation of a delete fails, the file is either gone or whole with its
// read-only bit (only a failure to put the bit back leaves it off), and a file left in
// place was reported. Held open by another program, it cannot be deleted at all: a
// look-up after the failed deletion that failed too once counted it as deleted, and
// nothing was said.
TEST_F(FileActionTest, DeleteNeverLeavesAFileHalfTreatedOrUnreported) {
    gSettings.Set(OptionId::RecycleBin, false);
    gSettings.Set(OptionId::PromptOnDeletion, false);
    gSettings.Set(OptionId::RemoveFolder, false);  // so that putting the bit back is the last step
    const std::string path = Play("a.mp3", kAudio);
    for (const bool held : {false, true}) {
        int steps = 0;
        for (int n = 0; n <= 12; ++n) {
            SCOPED_TRACE(std::to_string(n) + (held ? " held" : ""));
            WriteAll(path, kAudio);
            SetAttributes(path, kAttrReadOnly);
            gBoxes.clear();
            player_.ClearMessages();
            HANDLE holder = held ? CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                               nullptr)
                                 : INVALID_HANDLE_VALUE;
            FailFileOperationAt(n);
            Press(HotkeyId::PhysDelete);
            if (n == 0) steps = FileOperationsCounted();
            FailFileOperationAt(0);
            if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
            if (FileAttributes(path)) {
                EXPECT_EQ(ReadAll(path), kAudio);
                EXPECT_TRUE((*FileAttributes(path) & kAttrReadOnly) || n == steps);
                EXPECT_EQ(gBoxes.size(), 1u) << "a file left in place is reported";
                EXPECT_TRUE(player_.EditorCommands().empty());
            } else {
                EXPECT_FALSE(held);
                EXPECT_TRUE(gBoxes.empty());
            }
        }
    }
    SetAttributes(path, kAttrNormal);
}

TEST_F(FileActionTest, CopyAndMoveCheckTheDestinationAndTheSourceFirst) {
    Play("a.mp3", kAudio);
    gSettings.DestinationFolder = temp_.File("nowhere");
    for (HotkeyId id : {HotkeyId::CopyFile, HotkeyId::MoveFile}) {
        gBoxes.clear();
        Press(id);
        ExpectBox(gPlugin.ConfigWindow, "Destination does not exist", "Quavix VEMO Plugin", MB_ICONERROR);
    }
    gSettings.DestinationFolder = dest_;
    player_.Script().EntryFiles.assign(2, temp_.File("gone.mp3"));
    for (HotkeyId id : {HotkeyId::CopyFile, HotkeyId::MoveFile}) {
        gBoxes.clear();
        Press(id);
        ExpectBox(player_.Window(), "No file to move", "Error", MB_ICONERROR);
    }
    EXPECT_TRUE(player_.Commands().empty());
}

// Copy and move onto a file of the same name: the question names the file and says
// whether the old one can be had back; Cancel is its default, so Enter keeps the file;
// neither read-only bit is touched before the answer (Enter once replaced a file for
// good, its source's bit already cleared). With the bin on, the replaced file goes there.
enum class Bin : uint8_t { Off, On, OnButNoneOnTheDrive, OnButDeclined };
std::vector<std::pair<HWND, std::string>> gBinned;
std::string gBinFolder;
RecycleResult IntoTestBin(HWND owner, const std::string& path) {
    gBinned.emplace_back(owner, path);
    return MoveFileA(path.c_str(), (gBinFolder + "\\" + std::to_string(gBinned.size())).c_str()) ? RecycleResult::Done
                                                                                                 : RecycleResult::Failed;
}
RecycleResult DeclinedByTheShell(HWND owner, const std::string& path) {
    gBinned.emplace_back(owner, path);
    return RecycleResult::Declined;
}

TEST_F(FileActionTest, OverwriteNamesTheFileKeepsItOnEnterAndBinsItWhenAsked) {
    gBinFolder = temp_.File("bin");
    CreateDirectoryA(gBinFolder.c_str(), nullptr);
    const struct {
        HotkeyId Id;
        Bin Bin;
        int Answer;
        const char* Shown;  // null: the file is kept, nothing shown
    } cases[] = {
        {HotkeyId::CopyFile, Bin::On, kEnter, nullptr},
        {HotkeyId::MoveFile, Bin::Off, kEnter, nullptr},
        {HotkeyId::MoveFile, Bin::On, IDCANCEL, nullptr},
        {HotkeyId::CopyFile, Bin::On, IDOK, " File copied "},
        {HotkeyId::MoveFile, Bin::On, IDOK, " File moved "},
        {HotkeyId::CopyFile, Bin::Off, IDOK, " File copied "},
        {HotkeyId::MoveFile, Bin::OnButNoneOnTheDrive, IDOK, " File moved "},
        {HotkeyId::CopyFile, Bin::OnButDeclined, IDOK, " Copy failed. Nothing was changed "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.Id)) + " bin " + std::to_string(static_cast<int>(c.Bin)) +
                     " answer " + std::to_string(c.Answer));
        const std::string path = Play("a.mp3", kAudio);
        const std::string target = dest_ + "\\a.mp3";
        WriteAll(target, "old");
        const bool kept = c.Shown == nullptr;
        SetAttributes(path, kAttrReadOnly);
        if (kept) SetAttributes(target, kAttrReadOnly);
        gBoxes.clear();
        gBinned.clear();
        gPopup.CurrentPopupText.clear();
        player_.ClearMessages();
        gAnswer = c.Answer;
        gSettings.Set(OptionId::RecycleBin, c.Bin != Bin::Off);
        Effects().HasRecycleBin = [](const std::string&) { return true; };
        if (c.Bin == Bin::OnButNoneOnTheDrive) Effects().HasRecycleBin = [](const std::string&) { return false; };
        Effects().Recycle = c.Bin == Bin::OnButDeclined ? DeclinedByTheShell : IntoTestBin;

        Press(c.Id);
        const bool toBin = c.Bin == Bin::On || c.Bin == Bin::OnButDeclined;
        ExpectBox(player_.Window(),
                  "The file \"" + target + "\" already exists.\r\n\r\nReplace it? " +
                      (toBin ? "The old file goes to the Recycle Bin."
                             : "The old file will be deleted for good and cannot be restored."),
                  "Quavix VEMO Plugin", MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2 | MB_TOPMOST);
        const bool replaced = !kept && c.Bin != Bin::OnButDeclined;
        EXPECT_EQ(ReadAll(target), replaced ? kAudio : "old");
        EXPECT_EQ(FileExists(path), !(replaced && c.Id == HotkeyId::MoveFile));
        if (kept) {
            EXPECT_EQ(*FileAttributes(path) & kAttrReadOnly, kAttrReadOnly) << "the source untouched";
            EXPECT_EQ(*FileAttributes(target) & kAttrReadOnly, kAttrReadOnly) << "the target untouched";
            EXPECT_TRUE(player_.Commands().empty());
            EXPECT_TRUE(Shown().empty());
        } else {
            EXPECT_EQ(Shown(), c.Shown);
        }
        const bool binned = !kept && toBin;
        EXPECT_EQ(gBinned.size(), binned ? 1u : 0u);
        if (binned && gBinned.size() == 1) {
            EXPECT_EQ(gBinned[0], std::make_pair(player_.Window(), target));
            if (c.Bin == Bin::On) {
                EXPECT_EQ(ReadAll(gBinFolder + "\\1"), "old");
            }
        }
        SetAttributes(path, kAttrNormal);
        SetAttributes(target, kAttrNormal);
        RemoveFile(gBinFolder + "\\1");
    }
}

TEST_F(FileActionTest, MoveReleasesTheFileReplacesOnOkAndDropsTheDeadEntry) {
    gSettings.Set(OptionId::RecycleBin, false);
    const std::string a = temp_.File("A");
    CreateDirectoryA(a.c_str(), nullptr);
    const std::string path = Play("A\\a.mp3", kAudio);
    const std::string target = dest_ + "\\a.mp3";
    WriteAll(target, "old");
    Press(HotkeyId::MoveFile);
    EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdNext});
    EXPECT_EQ(ReadAll(target), kAudio);
    EXPECT_FALSE(FileAttributes(path));
    EXPECT_FALSE(DirectoryExists(a));
    EXPECT_EQ(player_.EditorCommands(), std::vector<WPARAM>{CmdRemoveDeadFiles});
    EXPECT_EQ(Shown(), " File moved ");
}

// The destination folder is the file's own: copying or moving it onto itself would
// destroy it, so nothing happens and the user is told.
TEST_F(FileActionTest, CopyOrMoveOntoItselfChangesNothing) {
    const std::string path = Play("a.mp3", kAudio);
    gSettings.DestinationFolder = FolderOf(path);
    for (HotkeyId id : {HotkeyId::CopyFile, HotkeyId::MoveFile}) {
        Press(id);
        EXPECT_EQ(Shown(), " The file is already in the destination folder ");
        EXPECT_EQ(ReadAll(path), kAudio);
    }
    EXPECT_TRUE(gBoxes.empty());
    EXPECT_TRUE(player_.Commands().empty());
}

// Whichever step of the copy or move fails, the popup says "copied" or "moved" only
// when the target holds the whole file, a failure that changed nothing says so in its
// own words, and the source is never lost.
TEST_F(FileActionTest, CopyOrMoveNeverReportsAFailureAsSuccess) {
    const std::string path = Play("a.mp3", kAudio);
    const std::string target = dest_ + "\\a.mp3";
    const struct {
        HotkeyId Id;
        const char* Success;
        const char* Failure;
    } actions[] = {
        {HotkeyId::CopyFile, " File copied ", " Copy failed. Nothing was changed "},
        {HotkeyId::MoveFile, " File moved ", " Move failed. Nothing was changed "},
    };
    for (const auto& action : actions) {
        int failures = 0;
        for (int n = 1; n <= 40; ++n) {
            SCOPED_TRACE(n);
            WriteAll(path, kAudio);
            RemoveFile(target);
            gPopup.CurrentPopupText.clear();
            gBoxes.clear();
            FailFileOperationAt(n);
            Press(action.Id);
            FailFileOperationAt(0);
            const bool copied = FileExists(target) && ReadAll(target) == kAudio;
            const bool sourceWhole = FileExists(path) && ReadAll(path) == kAudio;
            EXPECT_EQ(Shown() == action.Success, copied);
            EXPECT_TRUE(sourceWhole || copied) << "the file is somewhere whole";
            if (!copied && sourceWhole && gBoxes.empty() && !Shown().empty()) {
                EXPECT_EQ(Shown(), action.Failure);
                ++failures;
            }
        }
        EXPECT_GT(failures, 0) << action.Failure;
    }
}

// The tag names the file; playback goes on where it was, also when the rename fails.
struct RenameCase {
    const char* Name;
    std::string Tag;
    const char* Existing;  // a file already there under the new name, or null
    LRESULT State;
    const char* NewName;   // null: no rename
    const char* Popup;
    Log Sent;
};

class RenameTest : public FileActionTest, public ::testing::WithParamInterface<RenameCase> {};

TEST_P(RenameTest, RenamesAfterTheTagAndPutsPlaybackBack) {
    const RenameCase& c = GetParam();
    const std::string path = Play("track01.mp3", c.Tag + kAudio);
    player_.Script().PlayState = c.State;
    if (c.Existing) WriteAll(temp_.File(c.Existing), "other");
    player_.ClearMessages();
    Press(HotkeyId::RenameFile);
    EXPECT_EQ(Shown(), c.Popup);
    // Past the list length, position and file; the new path's pointer left out (the
    // player answers the wide queries, so it is told the new name in the wide message).
    Log sent = player_.Log();
    sent.erase(sent.begin(), sent.begin() + 3);
    for (std::string& line : sent) {
        if (line.rfind("query 1245", 0) == 0) line = "query 1245";
    }
    EXPECT_EQ(sent, c.Sent);
    const std::string expected = c.NewName ? temp_.File(c.NewName) : path;
    EXPECT_EQ(ReadAll(expected), c.Tag + kAudio);
    EXPECT_EQ(player_.Script().EntryFiles[0], expected);
    EXPECT_EQ(player_.Script().PlayState, c.State);
    EXPECT_EQ(player_.Script().PositionMs, 65000);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenameTest,
    ::testing::Values(
        RenameCase{"ArtistAndTitle", ID3v2Tag(TextFrame("TPE1", "Foo/Bar") + TextFrame("TIT2", "Baz")), nullptr,
                   kPlayStatePlaying, "Foo_Bar - Baz.mp3", " File renamed ",
                   {"query 105 0", "query 104 0", "cmd 40047",
                    "query 1245", "cmd 40045", "query 106 65000"}},
        RenameCase{"ArtistOnly", ID3v2Tag(TextFrame("TPE1", "Solo")), nullptr, kPlayStatePaused, "Solo.mp3",
                   " File renamed ",
                   {"query 105 0", "query 104 0", "cmd 40047", "query 1245", "cmd 40045", "cmd 40046",
                    "query 106 65000"}},
        RenameCase{"OntoAnExistingName", ID3v2Tag(TextFrame("TPE1", "Taken")), "Taken.mp3", kPlayStatePlaying,
                   nullptr, " Rename failed. Maybe the file already exists ",
                   {"query 105 0", "query 104 0", "cmd 40047", "cmd 40045", "query 106 65000"}},
        RenameCase{"NoTag", "", nullptr, kPlayStatePlaying, nullptr, " No any ID3 tag available ", {}}),
    [](const ::testing::TestParamInfo<RenameCase>& each) { return std::string(each.param.Name); });

// A tag that differs from the file's name only in letter case still renames it.
TEST_F(FileActionTest, RenameThatOnlyChangesTheCase) {
    const std::string path = Play("solo.mp3", ID3v2Tag(TextFrame("TPE1", "Solo")) + kAudio);
    Press(HotkeyId::RenameFile);
    EXPECT_EQ(Shown(), " File renamed ");
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    EXPECT_STREQ(found.cFileName, "Solo.mp3");
    EXPECT_EQ(player_.Script().EntryFiles[0], temp_.File("Solo.mp3"));
}

TEST_F(FileActionTest, TagFromTheFileNameStopsWritesAndResumesPaused) {
    const std::string path = Play("Some Artist - A Title.mp3", kAudio);
    player_.Script().PlayState = kPlayStatePaused;
    Press(HotkeyId::ModifyID3);
    EXPECT_EQ(Shown(), " ID3 tag created ");
    const std::string bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), kAudio.size() + 128);
    EXPECT_EQ(bytes.substr(kAudio.size(), 3), "TAG");
    EXPECT_EQ(bytes.substr(kAudio.size() + 3, 7), "A Title");
    EXPECT_EQ(bytes.substr(kAudio.size() + 33, 11), "Some Artist");
    EXPECT_EQ(player_.Script().PlayState, kPlayStatePaused);
    EXPECT_EQ(player_.Script().PositionMs, 65000);
    EXPECT_EQ(gSongWatch.SongPopupSkip, -3);
}

TEST_F(FileActionTest, TagOfAnUnknownVersionIsRefusedInABoxWithNoByteChanged) {
    const std::string old = ID3v2Tag(TextFrame("TT2", "x"), 2) + kAudio;
    const std::string path = Play("Artist - A Title Much Longer Than Thirty Characters.mp3", old);
    Press(HotkeyId::ModifyID3);
    ExpectBox(player_.Window(), "Unknown tag version. First delete current ID3v2 tag", "VEMO plug-in",
              MB_ICONWARNING);
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_NE(Shown(), " ID3 tag created ");
    EXPECT_EQ(player_.Script().PlayState, kPlayStatePlaying);
}

TEST_F(FileActionTest, FileAndTagKeysAskNothingOfAnEmptyListAndRefuseOtherNames) {
    const std::string path = Play("a.ogg", kAudio);
    for (HotkeyId id : {HotkeyId::RenameFile, HotkeyId::ModifyID3}) {
        gPopup.CurrentPopupText.clear();
        Press(id);
        EXPECT_EQ(Shown(), " Not an MP3 file ");
    }
    player_.Script().EntryFiles.clear();
    player_.Script().EntryTitles.clear();
    player_.ClearMessages();
    for (HotkeyId id : {HotkeyId::ReadOnlyToggle, HotkeyId::PhysDelete, HotkeyId::CopyFile, HotkeyId::MoveFile,
                        HotkeyId::RenameFile, HotkeyId::ModifyID3}) {
        Press(id);
    }
    EXPECT_EQ(player_.Log(), Log(6, "query 124 0"));
    EXPECT_TRUE(gBoxes.empty());
    EXPECT_EQ(ReadAll(path), kAudio);
}



// ---- Names in any script ----

// The test's own look at the disk goes through the wide calls, so that a name is the
// very one given whatever the plug-in makes of it.
void WriteWide(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// Nothing when the file is not there.
std::optional<std::string> ReadWide(const std::string& path) {
    HANDLE file = CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    return bytes;
}

DWORD AttributesWide(const std::string& path) { return GetFileAttributesW(ToWide(path).c_str()); }

// An ID3v2.3 frame in UTF-16 with its byte-order mark.
std::string Utf16Frame(const std::string& id, const std::string& utf8) {
    std::string data = "\x01\xFF\xFE"s;
    for (char16_t unit : Utf8ToUtf16(utf8)) {
        data += static_cast<char>(unit & 0xFF);
        data += static_cast<char>(unit >> 8);
    }
    const size_t size = data.size();
    return id + static_cast<char>(size >> 24) + static_cast<char>((size >> 16) & 0xFF) +
           static_cast<char>((size >> 8) & 0xFF) + static_cast<char>(size & 0xFF) + "\0\0"s + data;
}
std::string Utf16Tag(const std::string& artist, const std::string& title) {
    const std::string frames = Utf16Frame("TPE1", artist) + Utf16Frame("TIT2", title);
    const size_t size = frames.size();  // synchsafe, well below 2^14
    return "ID3\x03\0\0\0\0"s + static_cast<char>(size >> 7) + static_cast<char>(size & 0x7F) + frames;
}

enum class FileKey : uint8_t { Delete, Recycle, Copy, Move, Rename, TagFromName, ReadOnly, Information };

struct ScriptName {
    const char* Script;
    std::string File;    // "Artist - Title.mp3", so that the tag from the name has both
    std::string Artist;  // of the tag that the rename follows
    std::string Title;
};

const ScriptName kScriptNames[] = {
    {"Cyrillic", "Кино - Группа крови.mp3", "Виктор Цой", "Звезда по имени Солнце"},
    // The second byte of "ソ" in the Japanese code page is the byte of "\\".
    {"Japanese", "坂本九 - ソング.mp3", "坂本九", "上を向いて歩こう"},
    {"Emoji", "Band 🎸 - Tune 😀.mp3", "Band 🎸", "Tune 😀"},
};

std::vector<std::string> gRecycledWide;
RecycleResult RecycleWide(HWND, const std::string& path) {
    gRecycledWide.push_back(path);
    return DeleteFileW(ToWide(path).c_str()) ? RecycleResult::Done : RecycleResult::Failed;
}
bool AlwaysABin(const std::string&) { return true; }

class ScriptNameTest : public FileActionTest,
                       public ::testing::WithParamInterface<std::tuple<FileKey, size_t, PlayerAge>> {
protected:
    FileKey Key() const { return std::get<0>(GetParam()); }
    const ScriptName& Name() const { return kScriptNames[std::get<1>(GetParam())]; }
    PlayerAge Age() const { return std::get<2>(GetParam()); }

    void PressKey() {
        gSettings.Set(OptionId::PromptOnDeletion, false);
        gSettings.Set(OptionId::RecycleBin, Key() == FileKey::Recycle);
        gRecycledWide.clear();
        Effects().Recycle = RecycleWide;
        Effects().HasRecycleBin = AlwaysABin;
        static const HotkeyId kIds[] = {HotkeyId::PhysDelete, HotkeyId::PhysDelete,   HotkeyId::CopyFile,
                                        HotkeyId::MoveFile,   HotkeyId::RenameFile,   HotkeyId::ModifyID3,
                                        HotkeyId::ReadOnlyToggle, HotkeyId::MPEGInfo};
        Press(kIds[static_cast<size_t>(Key())]);
    }
};

// A player that gives the name whole: every key works on the very file. An older player
// that gives "?" in its place: a clear message and nothing touched, neither the file nor
// playback (such names once made delete say "No file to remove" and move take another file).
TEST_P(ScriptNameTest, KeyWorksOnTheWholeNameOrTouchesNothing) {
    const ScriptName& name = Name();
    const std::string content = (Key() == FileKey::Rename ? Utf16Tag(name.Artist, name.Title) : ""s) + kAudio;
    const std::string path = temp_.File(name.File);
    WriteWide(path, content);
    PlayEntry(path);
    player_.Script().Age = Age();
    player_.ClearMessages();
    const std::string target = dest_ + "\\" + name.File;
    const std::string renamed = temp_.File(name.Artist + " - " + name.Title + ".mp3");
    PressKey();

    if (Age() != PlayerAge::Current) {
        ASSERT_TRUE(ExpectBox(player_.Window(),
                              "This player version cannot give this file's name; nothing was done to the file.\r\n\r\n"
                              "A newer player version gives every name. With this one, the file and tag keys work "
                              "on names written in the letters of the system's language.",
                              "Error", MB_ICONERROR));
        EXPECT_EQ(ReadWide(path), content);
        EXPECT_EQ(AttributesWide(path) & FILE_ATTRIBUTE_READONLY, 0u);
        EXPECT_FALSE(ReadWide(target));
        EXPECT_TRUE(player_.Commands().empty());
        EXPECT_TRUE(gRecycledWide.empty());
        EXPECT_FALSE(IsWindowVisible(gPlugin.InfoPopup));
        return;
    }
    EXPECT_TRUE(gBoxes.empty());
    switch (Key()) {
        case FileKey::Delete: EXPECT_FALSE(ReadWide(path)); break;
        case FileKey::Recycle:
            EXPECT_EQ(gRecycledWide, std::vector<std::string>{path});
            EXPECT_FALSE(ReadWide(path));
            break;
        case FileKey::Copy:
            EXPECT_EQ(ReadWide(target), content);
            EXPECT_EQ(ReadWide(path), content);
            break;
        case FileKey::Move:
            EXPECT_EQ(ReadWide(target), content);
            EXPECT_FALSE(ReadWide(path));
            break;
        case FileKey::Rename:
            EXPECT_EQ(Shown(), " File renamed ");
            EXPECT_EQ(ReadWide(renamed), content);
            EXPECT_EQ(player_.Script().EntryFiles[0], renamed) << "told through the wide message";
            break;
        case FileKey::TagFromName: {
            EXPECT_EQ(Shown(), " ID3 tag created ");
            const size_t dash = name.File.find(" - ");
            const std::string artist = name.File.substr(0, dash);
            const std::string title = name.File.substr(dash + 3, name.File.size() - dash - 7);
            if (HasTag(path, kTagID3v2)) {
                const std::optional<TID3v2Tag> tag = ReadID3v2(path);
                ASSERT_TRUE(tag);
                EXPECT_EQ(tag->Artist, artist);
                EXPECT_EQ(tag->Title, title);
            } else {
                const std::optional<TID3v1Tag> tag = ReadID3v1(path);
                ASSERT_TRUE(tag);
                EXPECT_EQ(tag->Artist, artist);
                EXPECT_EQ(tag->Title, title);
            }
            break;
        }
        case FileKey::ReadOnly:
            EXPECT_NE(AttributesWide(path) & FILE_ATTRIBUTE_READONLY, 0u);
            EXPECT_EQ(Shown(), " File " + path + " changed state to \"Read only\" ");
            SetFileAttributesW(ToWide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
            break;
        case FileKey::Information:
            EXPECT_EQ(gPopup.InfoPopupFile, path);
            EXPECT_NE(gPopup.LastInfoBody.find(name.File), std::string::npos) << gPopup.LastInfoBody;
            break;
    }
}

std::string ScriptNameCaseName(const ::testing::TestParamInfo<ScriptNameTest::ParamType>& each) {
    static const char* const kKeys[] = {"Delete", "Recycle", "Copy",     "Move",
                                        "Rename", "TagFromName", "ReadOnly", "Information"};
    return std::string(kKeys[static_cast<size_t>(std::get<0>(each.param))]) +
           kScriptNames[std::get<1>(each.param)].Script +
           (std::get<2>(each.param) == PlayerAge::Current ? "" : "OlderPlayer");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptNameTest,
    ::testing::Combine(::testing::Values(FileKey::Delete, FileKey::Recycle, FileKey::Copy, FileKey::Move,
                                         FileKey::Rename, FileKey::TagFromName, FileKey::ReadOnly,
                                         FileKey::Information),
                       ::testing::Values(size_t{0}, size_t{1}, size_t{2}),
                       ::testing::Values(PlayerAge::Current, PlayerAge::OlderLossy)),
    ScriptNameCaseName);

// An older player that gives a short 8.3 name: the plug-in works on the long one, so a
// copy is not named "D0A1~1.MP3". A rename to a name that such a player could not be
// told is not made at all: its entry would be left on a name that is gone.
TEST_F(FileActionTest, OlderPlayersShortNameIsMadeLongAndNoNameItCannotTakeIsGiven) {
    const std::string content = Utf16Tag("Виктор Цой", "Звезда") + kAudio;
    const std::string path = temp_.File("坂本九 - ソング.mp3");
    WriteWide(path, content);
    PlayEntry(path);
    player_.Script().Age = PlayerAge::OlderShortNames;
    Press(HotkeyId::CopyFile);
    EXPECT_TRUE(gBoxes.empty());
    EXPECT_EQ(ReadWide(dest_ + "\\坂本九 - ソング.mp3"), content);
    EXPECT_EQ(Shown(), " File copied ");

    player_.ClearMessages();
    Press(HotkeyId::RenameFile);
    EXPECT_EQ(Shown(), " This player version cannot take the new name; the file keeps its own ");
    EXPECT_EQ(ReadWide(path), content);
    EXPECT_FALSE(ReadWide(temp_.File("Виктор Цой - Звезда.mp3")));
    EXPECT_TRUE(player_.Commands().empty()) << "playback untouched";
}

// Under a double-byte code page (Japanese, 932) an older player's 8-bit names are read
// whole: the second byte of "ソ" and of "表" is 0x5C, the code of a backslash, and once
// split a name there ("ソング.mp3" was copied as "ング.mp3"). Such a name converts back
// without loss, so a rename is told through the 8-bit message.
TEST_F(FileActionTest, DoubleByteCodePageKeepsAnOlderPlayersNamesWhole) {
    if (CurrentCodePage() != 932) GTEST_SKIP() << "run by vemo_win_tests_cp932 under a Japanese locale";
    const std::string content = Utf16Tag("坂本九", "表ソ") + kAudio;
    const std::string path = temp_.File("ソング表.mp3");
    WriteWide(path, content);
    PlayEntry(path);
    player_.Script().Age = PlayerAge::OlderLossy;
    Press(HotkeyId::CopyFile);
    EXPECT_TRUE(gBoxes.empty());
    EXPECT_EQ(ReadWide(dest_ + "\\ソング表.mp3"), content);
    EXPECT_EQ(Shown(), " File copied ");

    player_.ClearMessages();
    Press(HotkeyId::RenameFile);
    const std::string renamed = temp_.File("坂本九 - 表ソ.mp3");
    EXPECT_EQ(Shown(), " File renamed ");
    EXPECT_EQ(ReadWide(renamed), content);
    EXPECT_EQ(player_.Script().EntryFiles[0], renamed);
}

// ---- Win+Delete into the Recycle Bin ----

// Wine's shell recycles into the desktop's trash in the user's home, which Wine names
// in the environment as "\\??\\Z:\\home\\user".
std::string TrashFolder() {
    char buffer[MAX_PATH] = {};
    std::string home;
    if (GetEnvironmentVariableA("WINEHOMEDIR", buffer, sizeof buffer)) home = buffer;
    if (home.starts_with("\\??\\")) home.erase(0, 4);
    return home + "\\.local\\share\\Trash\\files";
}

// Names no other run has put into the trash, so each test finds its own.
std::string UniqueName(const std::string& what) {
    static int counter = 0;
    return "vemo" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) + "-" +
           std::to_string(++counter) + what;
}

std::vector<std::string> gRecycled;
bool gHasBin = true;
bool FakeHasBin(const std::string&) { return gHasBin; }
RecycleResult FakeRecycleFails(HWND, const std::string& path) {
    gRecycled.push_back(path);
    return RecycleResult::Failed;
}
// Says it is done and does nothing: only a file confirmed gone may count as deleted.
RecycleResult FakeRecycleClaims(HWND, const std::string& path) {
    gRecycled.push_back(path);
    return RecycleResult::Done;
}
// The shell's own recycling, kept inside the test's folder: a folder walk gone wrong
// must not take the folders above it, with all they hold, into the bin.
RecycleResult (*gSystemRecycle)(HWND, const std::string&) = nullptr;
std::string gRecycleInside;
RecycleResult RecycleInsideTest(HWND owner, const std::string& path) {
    gRecycled.push_back(path);
    return path.starts_with(gRecycleInside) ? gSystemRecycle(owner, path) : RecycleResult::Failed;
}

// The shell as the tests see it: every call recorded, and under the guard only a delete
// with undo of a full path reaches the real shell. Handed one without undo, Wine's shell
// asks and the suite would hang; here it fails at once.
struct ShellCall {
    HWND Owner;
    std::string From;
    FILEOP_FLAGS Flags;
    UINT Function;
};
std::vector<ShellCall> gShellCalls;
int gShellCode = 0;
BOOL gShellAborted = FALSE;
void Record(const SHFILEOPSTRUCTW* operation) {
    gShellCalls.push_back({operation->hwnd, FromWide(operation->pFrom), operation->fFlags, operation->wFunc});
}
// Answers as told, and deletes what it is given when it is to succeed, as the shell would.
int RecordShell(SHFILEOPSTRUCTW* operation) {
    Record(operation);
    operation->fAnyOperationsAborted = gShellAborted;
    if (gShellCode == 0 && !gShellAborted) DeleteFileW(operation->pFrom);
    return gShellCode;
}
constexpr FILEOP_FLAGS kRecycleFlags =
    FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT | FOF_WANTNUKEWARNING;
int GuardedShell(SHFILEOPSTRUCTW* operation) {
    Record(operation);
    const std::wstring from = operation->pFrom;
    const bool full = from.size() > 3 && from[1] == L':' && from[2] == L'\\';
    if (operation->fFlags != kRecycleFlags || !full) return ERROR_ACCESS_DENIED;
    return SHFileOperationW(operation);
}

class RecycleTest : public FileActionTest {
protected:
    void SetUp() override {
        FileActionTest::SetUp();
        gRecycled.clear();
        gShellCalls.clear();
        gShellCode = 0;
        gShellAborted = FALSE;
        Effects().ShellFileOperation = GuardedShell;
        gHasBin = true;
        gSystemRecycle = Effects().Recycle;
        gRecycleInside = temp_.Path() + "\\";
        Effects().Recycle = RecycleInsideTest;
        ASSERT_TRUE(gSettings.OptRecycleBin()) << "on by default";
    }
    void TearDown() override {
        for (const std::string& name : inTrash_) {
            const std::string entry = TrashFolder() + "\\" + name;
            SetFileAttributesA(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileA(entry.c_str())) RemoveDirectoryA(entry.c_str());
            DeleteFileA((TrashFolder() + "\\..\\info\\" + name + ".trashinfo").c_str());
        }
        FileActionTest::TearDown();
    }
    std::string Trashed(const std::string& name) {
        inTrash_.push_back(name);
        return TrashFolder() + "\\" + name;
    }
    std::vector<std::string> inTrash_;
};

// The file goes into the bin whole, with the folders it leaves empty, up to the first
// one that holds something; with the prompt on, the question names the bin.
TEST_F(RecycleTest, FileAndEmptiedFoldersGoIntoTheBinWhole) {
    struct Case {
        bool Prompt;
        bool ReadOnly;
        bool RemoveFolder;
    } cases[] = {{true, false, true}, {false, true, true}, {false, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Prompt) + std::to_string(c.ReadOnly) + std::to_string(c.RemoveFolder));
        gBoxes.clear();
        gRecycled.clear();
        player_.ClearMessages();
        gSettings.Set(OptionId::PromptOnDeletion, c.Prompt);
        gSettings.Set(OptionId::RemoveFolder, c.RemoveFolder);
        const std::string album = UniqueName("album");
        const std::string disc = UniqueName("cd");
        const std::string song = UniqueName("song.mp3");
        const std::string outer = temp_.File(album);
        CreateDirectoryA(outer.c_str(), nullptr);
        CreateDirectoryA((outer + "\\" + disc).c_str(), nullptr);
        const std::string path = Play(album + "\\" + disc + "\\" + song, kAudio, 1);
        if (c.ReadOnly) SetAttributes(path, kAttrReadOnly);
        Press(HotkeyId::PhysDelete);
        if (c.Prompt) {
            ExpectBox(player_.Window(), "Move file \"" + path + "\" to the Recycle Bin?", "Sure?", 0x40131);
        } else {
            EXPECT_TRUE(gBoxes.empty());
        }
        EXPECT_FALSE(FileAttributes(path));
        EXPECT_EQ(ReadAll(Trashed(song)), kAudio) << TrashFolder();
        EXPECT_EQ(player_.Commands(), std::vector<WPARAM>{CmdStop});
        EXPECT_EQ(player_.EditorCommands(), std::vector<WPARAM>{CmdRemoveDeadFiles});
        // Only this test's own folders: the temporary folder above still holds "dest".
        const std::vector<std::string> walk = {path, outer + "\\" + disc, outer};
        EXPECT_EQ(gRecycled, c.RemoveFolder ? walk : std::vector<std::string>{path}) << "nothing above the album";
        EXPECT_EQ(DirectoryExists(outer), !c.RemoveFolder);
        EXPECT_EQ(DirectoryExists(Trashed(disc)), c.RemoveFolder);
        EXPECT_EQ(DirectoryExists(Trashed(album)), c.RemoveFolder);
        EXPECT_TRUE(DirectoryExists(temp_.Path()));
    }
}

// A shell that fails, or says it is done while the file stays, is reported as a failed
// physical delete was: the box, the read-only bit back, the playlist left alone; and the
// folder that still holds the file is not offered to the bin.
TEST_F(RecycleTest, FailuresAreReportedAsBefore) {
    gSettings.Set(OptionId::PromptOnDeletion, false);
    Effects().HasRecycleBin = FakeHasBin;
    const std::string a = temp_.File("A");
    CreateDirectoryA(a.c_str(), nullptr);
    const std::string path = Play("A\\song.mp3", kAudio);
    for (auto recycle : {FakeRecycleFails, FakeRecycleClaims}) {
        gBoxes.clear();
        gRecycled.clear();
        player_.ClearMessages();
        Effects().Recycle = recycle;
        SetAttributes(path, kAttrReadOnly | kAttrArchive);
        Press(HotkeyId::PhysDelete);
        ExpectBox(player_.Window(), "Error deleting \"" + path + "\"", "Error", 0x40010);
        EXPECT_EQ(gRecycled, std::vector<std::string>{path});
        EXPECT_EQ(*FileAttributes(path) & (kAttrReadOnly | kAttrArchive), kAttrReadOnly | kAttrArchive);
        EXPECT_EQ(ReadAll(path), kAudio);
        EXPECT_TRUE(DirectoryExists(a));
        EXPECT_TRUE(player_.EditorCommands().empty());
    }
    SetAttributes(path, kAttrNormal);
    // Cancel at the prompt recycles nothing and leaves playback alone.
    gSettings.Set(OptionId::PromptOnDeletion, true);
    gAnswer = IDCANCEL;
    gRecycled.clear();
    player_.ClearMessages();
    Press(HotkeyId::PhysDelete);
    EXPECT_TRUE(gRecycled.empty());
    EXPECT_TRUE(player_.Commands().empty());
    EXPECT_TRUE(FileExists(path));
}

// Where the drive has no bin the shell would delete for good without a word: the
// plug-in asks, whatever the prompt option says, does nothing at all on No, and on Yes
// deletes for good as with the option off (the shell is not asked).
TEST_F(RecycleTest, DriveWithoutABinAsksFirst) {
    Effects().HasRecycleBin = FakeHasBin;
    Effects().Recycle = FakeRecycleClaims;
    gHasBin = false;
    const std::string question = "The drive of \"%\" has no Recycle Bin: the file would be deleted for good and "
                                 "could not be restored.\r\n\r\nDelete it anyway?";
    struct Case {
        bool Prompt;
        int Answer;
        bool Deleted;
    } cases[] = {{true, IDNO, false}, {false, IDNO, false}, {false, IDCANCEL, false}, {true, IDYES, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Prompt) + " " + std::to_string(c.Answer));
        const std::string a = temp_.File("A");
        CreateDirectoryA(a.c_str(), nullptr);
        const std::string path = Play("A\\song.mp3", kAudio);
        gSettings.Set(OptionId::PromptOnDeletion, c.Prompt);
        gAnswer = c.Answer;
        gBoxes.clear();
        player_.ClearMessages();
        Press(HotkeyId::PhysDelete);
        std::string text = question;
        text.replace(text.find('%'), 1, path);
        ExpectBox(player_.Window(), text, "Sure?", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2 | MB_TOPMOST);
        EXPECT_TRUE(gRecycled.empty());
        EXPECT_EQ(FileExists(path), !c.Deleted);
        EXPECT_EQ(DirectoryExists(a), !c.Deleted) << "the emptied folder goes for good as well";
        EXPECT_EQ(player_.Commands().empty(), !c.Deleted);
        EXPECT_EQ(player_.EditorCommands().empty(), !c.Deleted);
        EXPECT_EQ(gSongWatch.TitleChangeCount == -2, c.Deleted);
        gSongWatch.TitleChangeCount = 0;
    }
}

// The walk into the bin takes only empty folders: one that holds a hidden file stays,
// and so does every folder above it.
TEST_F(RecycleTest, FolderWalkStopsAtAFolderThatHoldsAnything) {
    gSettings.Set(OptionId::PromptOnDeletion, false);
    Effects().HasRecycleBin = FakeHasBin;
    const std::string a = temp_.File("A");
    CreateDirectoryA(a.c_str(), nullptr);
    CreateDirectoryA((a + "\\B").c_str(), nullptr);
    const std::string path = Play("A\\B\\song.mp3", kAudio);
    const std::string hidden = a + "\\B\\desktop.ini";
    WriteAll(hidden, "x");
    SetAttributes(hidden, kAttrHidden | kAttrSystem);
    // The file goes as the shell would take it; a folder would be recorded only.
    Effects().Recycle = [](HWND, const std::string& p) {
        gRecycled.push_back(p);
        return RemoveFile(p) ? RecycleResult::Done : RecycleResult::Failed;
    };
    Press(HotkeyId::PhysDelete);
    EXPECT_EQ(gRecycled, std::vector<std::string>{path});
    EXPECT_TRUE(DirectoryExists(a + "\\B"));
    SetAttributes(hidden, kAttrNormal);
}

// What the shell is handed: the full path (with a relative one it ignores the undo flag
// and deletes for good), the undo flag, none of its own questions but the warning that
// the bin cannot take the file, and an owner for that warning (without one it can sit
// under the always-on-top player, which then looks hung). No to that warning is the
// user's choice; a path too long for the shell is not tried.
TEST_F(RecycleTest, ShellGetsTheFullPathTheUndoFlagAndAnOwner) {
    Effects().Recycle = gSystemRecycle;
    Effects().ShellFileOperation = RecordShell;
    WriteAll(dest_ + "\\a.mp3", "x");
    wchar_t before[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryW(ToWide(dest_).c_str()));
    const struct {
        int Code;
        BOOL Aborted;
        RecycleResult Result;
    } cases[] = {
        {0, FALSE, RecycleResult::Done},
        {0, TRUE, RecycleResult::Declined},
        {ERROR_CANCELLED, FALSE, RecycleResult::Declined},
        {ERROR_ACCESS_DENIED, FALSE, RecycleResult::Failed},
        {0x78, FALSE, RecycleResult::Failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Code);
        gShellCalls.clear();
        gShellCode = c.Code;
        gShellAborted = c.Aborted;
        EXPECT_EQ(Effects().Recycle(player_.Window(), "a.mp3"), c.Result);
        ASSERT_EQ(gShellCalls.size(), 1u);
        EXPECT_EQ(gShellCalls[0].From, dest_ + "\\a.mp3");
        EXPECT_EQ(gShellCalls[0].Owner, player_.Window());
        EXPECT_EQ(gShellCalls[0].Function, static_cast<UINT>(FO_DELETE));
        EXPECT_EQ(gShellCalls[0].Flags, kRecycleFlags);
    }
    SetCurrentDirectoryW(before);
    gShellCalls.clear();
    EXPECT_EQ(Effects().Recycle(player_.Window(), dest_ + "\\" + std::string(260, 'x') + ".mp3"),
              RecycleResult::PathTooLong);
    EXPECT_TRUE(gShellCalls.empty());
}

// Only a fixed drive keeps a bin; on any other the shell's delete with undo is final, so
// the plug-in asks first. (A removable drive taken for one with a bin had the question
// skipped and the file deleted for good.)
UINT gDriveType = DRIVE_FIXED;
TEST_F(RecycleTest, OnlyAFixedDriveHasABinAndOtherDrivesAskFirst) {
    Effects().ShellFileOperation = RecordShell;
    Effects().DriveType = [](const wchar_t*) { return gDriveType; };
    gSettings.Set(OptionId::PromptOnDeletion, false);
    const UINT types[] = {DRIVE_FIXED, DRIVE_REMOVABLE, DRIVE_REMOTE, DRIVE_CDROM, DRIVE_RAMDISK, DRIVE_UNKNOWN,
                          DRIVE_NO_ROOT_DIR};
    gAnswer = IDNO;
    for (const UINT type : types) {
        SCOPED_TRACE(type);
        gDriveType = type;
        const std::string path = Play("song.mp3", kAudio);
        EXPECT_EQ(Effects().HasRecycleBin(path), type == DRIVE_FIXED);
        gBoxes.clear();
        gShellCalls.clear();
        Press(HotkeyId::PhysDelete);
        if (type == DRIVE_FIXED) {
            EXPECT_TRUE(gBoxes.empty());
            EXPECT_EQ(gShellCalls.size(), 1u);
        } else {
            ASSERT_EQ(gBoxes.size(), 1u);
            EXPECT_TRUE(gBoxes[0].Text.starts_with("The drive of \"" + path + "\" has no Recycle Bin"));
            EXPECT_TRUE(gShellCalls.empty());
            EXPECT_EQ(ReadAll(path), kAudio);
        }
    }
}

// No to the shell's own warning (the bin cannot take the file after all) keeps the file
// as it was and is not reported as an error.
TEST_F(RecycleTest, NoToTheShellsWarningIsACancelNotAnError) {
    Effects().ShellFileOperation = RecordShell;
    Effects().HasRecycleBin = FakeHasBin;
    gSettings.Set(OptionId::PromptOnDeletion, false);
    gShellAborted = TRUE;
    const std::string path = Play("song.mp3", kAudio);
    SetAttributes(path, kAttrReadOnly);
    Press(HotkeyId::PhysDelete);
    EXPECT_TRUE(gBoxes.empty());
    ASSERT_EQ(gShellCalls.size(), 1u);
    EXPECT_EQ(gShellCalls[0].Owner, player_.Window());
    EXPECT_EQ(ReadAll(path), kAudio);
    EXPECT_EQ(*FileAttributes(path) & kAttrReadOnly, kAttrReadOnly);
    EXPECT_TRUE(player_.EditorCommands().empty());
    SetAttributes(path, kAttrNormal);
}

// A path too long for the shell is refused with a word and nothing touched: it was once
// taken for a drive without a bin, and the user was offered a delete for good.
TEST_F(RecycleTest, PathTooLongForTheShellIsRefusedAndNothingTouched) {
    Effects().ShellFileOperation = RecordShell;
    gSettings.Set(OptionId::PromptOnDeletion, false);
    std::vector<std::string> folders;
    std::string folder = dest_;
    for (const char letter : {'a', 'b', 'c'}) {
        folder += "\\" + std::string(100, letter);
        ASSERT_TRUE(CreateDirectoryW(ToWide(folder).c_str(), nullptr));
        folders.push_back(folder);
    }
    const std::string path = folder + "\\song.mp3";
    WriteWide(path, kAudio);
    PlayEntry(path);
    Press(HotkeyId::PhysDelete);
    ExpectBox(player_.Window(),
              "The path of \"" + path +
                  "\" is too long for the Recycle Bin; nothing was done.\r\n\r\nMove the file to a shorter path, or "
                  "switch the Recycle Bin option off to delete it for good.",
              "Error", MB_ICONERROR | MB_TOPMOST);
    EXPECT_TRUE(gShellCalls.empty());
    EXPECT_TRUE(gRecycled.empty());
    EXPECT_EQ(ReadWide(path), kAudio);
    EXPECT_TRUE(player_.Commands().empty());
    DeleteFileW(ToWide(path).c_str());
    for (auto at = folders.rbegin(); at != folders.rend(); ++at) RemoveDirectoryW(ToWide(*at).c_str());
}

}  // namespace
}  // namespace vemo::test
