#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "support/temp_dir.h"
#include "text/code_page.h"
#include "text/file_access.h"

namespace vemo {
namespace {

using test::ListFolder;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

// The section of the default settings, byte for byte.
const std::string kDefaultSection =
    "[Vemo Plugin]\r\nVemo on song start=1\r\nLaunch minimized=0\r\nAutoplay=0\r\nVisualization=0\r\n"
    "Disable vemos=0\r\nTrack numbers=0\r\nDisabled=0\r\nPrompt on deletion=1\r\nRemove folder=1\r\n"
    "Systray icon=1\r\nRecycle bin=1\r\nDestination folder=\r\n"
    "Prev=8 90\r\nPlayPause=8 88\r\nStopTrack=8 67\r\nNext=8 86\r\nIncVol=8 38\r\nDecVol=8 40\r\n"
    "MinMax=8 65\r\nSeekFwd=8 37\r\nSeekBkw=8 39\r\nMPEGInfo=10 32\r\nQuit=8 81\r\nShuffle=8 83\r\n"
    "Repeat=8 78\r\nConfig=8 192\r\nPrvWOShuffle=9 90\r\nNxtWOShuffle=9 86\r\nTrackInfo=8 32\r\n"
    "ShflOn=9 83\r\nRptOn=9 78\r\nTAG=8 51\r\nID3v1=8 49\r\nPreferences=8 80\r\nVisPlug=8 75\r\n"
    "StopWFadeout=12 67\r\nID3v2=8 50\r\nID3Any=9 32\r\nStopAfterCurr=10 67\r\nReadOnlyToggle=9 82\r\n"
    "PhysDelete=8 46\r\nEQ=10 78\r\nCopyFile=8 116\r\nMoveFile=8 117\r\nJumpTo=8 74\r\nRenameFile=8 113\r\n"
    "ModifyID3=8 114";

size_t CountOf(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

bool SameSettings(const Settings& a, const Settings& b) {
    return a.Options == b.Options && a.DestinationFolder == b.DestinationFolder && a.Hotkeys == b.Hotkeys;
}

// Settings with every field away from its default.
Settings Unusual() {
    Settings s;
    for (int32_t id = 1; id <= kOptionCount; ++id) *s.OptionByte(id) = id % 3 == 0 ? 1 : 0;
    s.DestinationFolder = "D:\\Music [sorted]\\out";
    for (int32_t id = 1; id <= kStoredHotkeyCount; ++id) s.Hotkeys[id] = {id * 3, 1000 - id};
    s.Hotkeys[1] = {INT32_MIN, INT32_MAX};
    s.Hotkeys[2] = {-1, 0};
    return s;
}

class SettingsFile : public ::testing::Test {
protected:
    void TearDown() override { FailFileOperationAt(0); }

    Settings ReadText(const std::string& bytes, SettingsStatus expect = SettingsStatus::Ok) {
        WriteAll(path, bytes);
        Settings s = DefaultSettings();
        EXPECT_EQ(ReadSettings(path, s), expect);
        return s;
    }

    TempDir dir;
    std::string path = dir.File("Plugin.ini");
};

TEST(SettingsDefaults, FiveOptionsOnAndDefaultHotkeys) {
    Settings s = DefaultSettings();
    EXPECT_TRUE(s.OptRemoveFolder() && s.OptVemoOnSongStart() && s.OptPromptOnDeletion() && s.OptSystrayIcon() &&
                s.OptRecycleBin());
    EXPECT_FALSE(s.OptDisabled() || s.OptLaunchMinimized() || s.OptAutoplay() || s.OptVisualization() ||
                 s.OptTrackNumbers() || s.OptDisableVemos());
    EXPECT_EQ(s.Hotkeys, DefaultHotkeys());
    EXPECT_EQ(s.OptionByte(0), nullptr);
    EXPECT_EQ(s.OptionByte(12), nullptr);
    *s.OptionByte(2) = 1;  // check box 2 is "Disabled"
    EXPECT_TRUE(s.OptDisabled());
}

TEST(SettingsCompose, SectionAloneIsExact) { EXPECT_EQ(ComposeSettingsFile("", DefaultSettings()), kDefaultSection); }

TEST(SettingsCompose, OtherSectionsStayAndOneEmptyLineSeparates) {
    struct Case {
        std::string existing, kept;
    } cases[] = {
        {"[A]\r\na=1", "[A]\r\na=1\r\n\r\n"},
        {"[A]\r\na=1\r\n", "[A]\r\na=1\r\n\r\n"},
        {"[A]\r\na=1\r\n\r\n", "[A]\r\na=1\r\n\r\n"},
        {"[A]\r\na=1\r\n\r\n\r\n", "[A]\r\na=1\r\n\r\n\r\n"},
        // Ours in the middle: the sections after it move up unchanged.
        {"[A]\r\na=1\r\n\r\n[Vemo Plugin]\r\nAutoplay=1\r\n\r\n[B]\r\nb=2\r\n[C]\r\nc=3",
         "[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n[C]\r\nc=3\r\n\r\n"},
        // Ours last, with an unknown key that is not carried over.
        {"[A]\r\na=1\r\n\r\n[Vemo Plugin]\r\nAutoplay=1\r\nUnknown=5", "[A]\r\na=1\r\n\r\n"},
        {"[Vemo Plugin]\r\nAutoplay=1\r\n", ""},
        // Several of ours made by hand: all go.
        {"[Vemo Plugin]\r\nx\r\n[A]\r\n[Vemo Plugin]\r\n[Vemo Plugin]\r\ny\r\n[B]\r\n", "[A]\r\n[B]\r\n\r\n"},
        // Lines ending in LF alone: ours is still found, the rest kept byte for byte.
        {"[A]\na=1\n[Vemo Plugin]\nAutoplay=1\n[B]\nb=2\n", "[A]\na=1\n[B]\nb=2\n\r\n"},
        {"[A]\na=1\n\n[Vemo Plugin]\r\nAutoplay=1", "[A]\na=1\n\n"},
        // A header with anything around it is someone else's.
        {"[Vemo Plugin] \r\n[vemo plugin]\r\n", "[Vemo Plugin] \r\n[vemo plugin]\r\n\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComposeSettingsFile(c.existing, DefaultSettings()), c.kept + kDefaultSection) << c.existing;
    }
}

TEST(SettingsCompose, DestinationFolderIsCutToWhatTheEditFieldHolds) {
    Settings s = DefaultSettings();
    s.DestinationFolder = std::string(300, 'f');
    EXPECT_NE(ComposeSettingsFile("", s).find("Destination folder=" + std::string(259, 'f') + "\r\nPrev="),
              std::string::npos);
    // A line end would split the section and could smuggle in a section header.
    s.DestinationFolder = "C:\\a\r\n[Evil]\nx";
    std::string text = ComposeSettingsFile("", s);
    EXPECT_NE(text.find("Destination folder=C:\\a\r\nPrev="), std::string::npos);
    EXPECT_EQ(text.find("[Evil]"), std::string::npos);
    // The reader drops blanks at a value's ends: a cut that ends in one is written
    // without it, so the folder reads back as written.
    s.DestinationFolder = std::string(258, 'f') + " \tx";
    EXPECT_NE(ComposeSettingsFile("", s).find("Destination folder=" + std::string(258, 'f') + "\r\nPrev="),
              std::string::npos);
}

TEST_F(SettingsFile, ReadsOnlyTheFirstOfOurSections) {
    Settings s = ReadText(
        "Autoplay=1\r\n[A]\r\nVisualization=1\r\n[Vemo Plugin]\r\nDisabled=1\r\nDestination folder=C:\\[x]\r\n"
        "disabled=0\r\nxDisabled=0\r\nPrev=8 1\r\nPrev=8 2\r\n[B]\r\nTrack numbers=1\r\n"
        "[Vemo Plugin]\r\nDisable vemos=1\r\n");
    EXPECT_TRUE(s.OptDisabled());  // keys are case-sensitive and start the line
    EXPECT_FALSE(s.OptAutoplay() || s.OptVisualization() || s.OptTrackNumbers() || s.OptDisableVemos());
    EXPECT_EQ(s.DestinationFolder, "C:\\[x]");
    EXPECT_EQ(s.Hotkeys[HotkeyId::Prev], (HotkeyEntry{8, 2}));  // the later line wins
    EXPECT_EQ(s.Hotkeys[HotkeyId::Next], (HotkeyEntry{8, 0x56}));
    EXPECT_TRUE(s.OptRemoveFolder());  // missing keys keep their defaults
}

TEST_F(SettingsFile, OptionValuesKeepTheirLowByte) {
    struct Case {
        const char* value;
        uint8_t byte;
    } cases[] = {{"1", 1}, {"2", 2}, {"256", 0}, {"257", 1}, {"yes", 0}, {"", 0}, {"-1", 255}, {" 3x", 3}};
    for (const Case& c : cases) {
        Settings s = ReadText(std::string("[Vemo Plugin]\r\nDisabled=") + c.value + "\r\n");
        EXPECT_EQ(s.Options[1], c.byte) << c.value;
    }
    Settings two = ReadText("[Vemo Plugin]\r\nDisabled=2");
    EXPECT_NE(ComposeSettingsFile("", two).find("Disabled=1\r\n"), std::string::npos);
}

// A key added later: files from before it lack it, and it must then read as on, since
// "off" would delete for good where the user never chose that.
TEST_F(SettingsFile, RecycleBinKeyAbsentReadsOnAndIsAlwaysWritten) {
    struct Case {
        const char* section;
        bool on;
    } cases[] = {
        {"[Vemo Plugin]\r\nRemove folder=0\r\nSystray icon=0", true},  // written before the option existed
        {"[Vemo Plugin]\r\nRecycle bin=0\r\n", false},
        {"[Vemo Plugin]\r\nRecycle bin=1", true},
        {"[Vemo Plugin]\r\nrecycle bin=0\r\n", true},                // keys are case-sensitive
        {"[A]\r\nRecycle bin=0\r\n[Vemo Plugin]\r\nAutoplay=1", true},  // another section's key
        {"[Vemo Plugin]\r\nRecycle bin=256\r\n", false},
    };
    for (const Case& c : cases) {
        Settings s = ReadText(c.section);
        EXPECT_EQ(s.OptRecycleBin(), c.on) << c.section;
        // The writer keeps it, and after the other options, where older copies look last.
        const std::string written = ComposeSettingsFile(c.section, s);
        const std::string line = std::string("\r\nRecycle bin=") + (c.on ? "1" : "0") + "\r\nDestination folder=";
        const std::string tray = s.OptSystrayIcon() ? "Systray icon=1" : "Systray icon=0";
        EXPECT_NE(written.find(tray + line), std::string::npos) << c.section;
        EXPECT_EQ(CountOf(written.substr(written.find("[Vemo Plugin]")), "Recycle bin="), 1u) << c.section;
        Settings back = DefaultSettings();
        ApplySettingsText(written, back);
        EXPECT_EQ(back.OptRecycleBin(), c.on) << c.section;
    }
}

TEST_F(SettingsFile, HotkeyValuesSplitAtTheLastBlank) {
    struct Case {
        const char* line;
        HotkeyEntry entry;
    } cases[] = {
        {"Prev=8 90", {8, 90}},     {"Prev= 10  32", {10, 32}}, {"Prev=90", {90, 0}},
        {"Prev=", {0, 0}},          {"Prev", {0, 0}},           {"Prev=-3 -4", {-3, -4}},
        {"Prev=$A x1F", {10, 31}},  {"Prev:8 90", {8, 90}},
    };
    for (const Case& c : cases) {
        // Once as an inner line, once as the last line without a line end.
        for (const char* tail : {"\r\nNext=1 2\r\n", ""}) {
            Settings s = ReadText(std::string("[Vemo Plugin]\r\n") + c.line + tail);
            EXPECT_EQ(s.Hotkeys[HotkeyId::Prev], c.entry) << c.line << "|" << tail;
        }
    }
}

// Blanks around the key, the "=" and the value do not count, as people write the file by
// hand. "Next = 10 86" used to read as Modifiers 0, so a bare V was taken from every program.
TEST_F(SettingsFile, BlanksAroundKeysAndValuesDoNotCount) {
    struct Case {
        const char* line;
        HotkeyEntry entry;
    } hotkeys[] = {
        {"Next = 10 86", {kModWin | kModCtrl, 'V'}}, {"Next =10 86", {10, 86}},   {"Next= 10 86 ", {10, 86}},
        {"  Next=8 86", {8, 86}},                    {"\tNext\t=\t9 86\t", {9, 86}}, {"Next = 8  86  ", {8, 86}},
        {"Next = ", {0, 0}},                         {"Next 8 86", {8, 86}},
    };
    for (const Case& c : hotkeys) {
        for (const char* tail : {"\r\nPrev=1 2\r\n", ""}) {
            Settings s = ReadText(std::string("[Vemo Plugin]\r\n") + c.line + tail);
            EXPECT_EQ(s.Hotkeys[HotkeyId::Next], c.entry) << c.line << "|" << tail;
        }
    }
    Settings s = ReadText(
        "[Vemo Plugin]\r\n  Autoplay = 1\r\nDisabled\t=2 \r\nRemove folder =0\r\n"
        "Destination folder =  C:\\Music\\out  \r\nTrack numbers 1\r\n");
    EXPECT_TRUE(s.OptAutoplay());
    EXPECT_TRUE(s.OptDisabled());
    EXPECT_FALSE(s.OptRemoveFolder());
    EXPECT_EQ(s.DestinationFolder, "C:\\Music\\out");
    EXPECT_FALSE(s.OptTrackNumbers()) << "an option line needs its \"=\"";
}

TEST_F(SettingsFile, LastLineIsTakenWholeAndItsLineEndDropped) {
    EXPECT_EQ(ReadText("[Vemo Plugin]\r\nModifyID3=8 114").Hotkeys[HotkeyId::ModifyID3], (HotkeyEntry{8, 114}));
    // A last line ending in CR LF must not carry them into the folder text.
    EXPECT_EQ(ReadText("[Vemo Plugin]\r\nDestination folder=C:\\x\r\n").DestinationFolder, "C:\\x");
    EXPECT_EQ(ReadText("[Vemo Plugin]\r\nDestination folder=C:\\x\n").DestinationFolder, "C:\\x");
}

// Callers holding the bytes get what a read of the same file gives, last line included.
TEST_F(SettingsFile, TextInMemoryReadsLikeTheFile) {
    for (const std::string& text : {ComposeSettingsFile("[A]\r\na=1", Unusual()), std::string("[Vemo Plugin]\nAutoplay=1"),
                                    std::string("Autoplay=1\r\n[Vemo Plugin]\r\n[Vemo Plugin]\r\nAutoplay=1")}) {
        Settings fromText = DefaultSettings();
        ApplySettingsText(text, fromText);
        EXPECT_TRUE(SameSettings(fromText, ReadText(text))) << text;
    }
}

TEST_F(SettingsFile, LineFeedAloneReadsLikeCrLf) {
    std::string crlf = ComposeSettingsFile("[A]\r\na=1\r\n", Unusual()) + "\r\n[B]\r\nb=1\r\n";
    std::string lf, mixed;
    for (size_t i = 0; i < crlf.size(); ++i) {
        if (crlf[i] == '\r') continue;
        lf += crlf[i];
        if (crlf[i] == '\n' && i % 3 == 0) mixed += '\r';
        mixed += crlf[i];
    }
    Settings expected = ReadText(crlf);
    ASSERT_TRUE(SameSettings(expected, Unusual()));
    EXPECT_TRUE(SameSettings(ReadText(lf), expected));
    EXPECT_TRUE(SameSettings(ReadText(mixed), expected));

    // A quit rewrites the section of such a file instead of adding a second one.
    ASSERT_EQ(WriteSettings(path, DefaultSettings()), SettingsStatus::Ok);
    std::string after = ReadAll(path);
    EXPECT_EQ(CountOf(after, "[Vemo Plugin]"), 1u);
    EXPECT_EQ(after.find("[A]"), 0u);
    EXPECT_TRUE(after.ends_with(kDefaultSection));
}

TEST_F(SettingsFile, EveryKeyRoundTrips) {
    WriteAll(path, "[A]\r\na=1\r\n[Vemo Plugin]\r\nAutoplay=1\r\n[B]\r\nb=2");
    for (int32_t id = 1; id <= kOptionCount; ++id) {
        // One option at a time, so that two swapped keys cannot hide each other.
        Settings one = Unusual();
        one.Options = {};
        *one.OptionByte(id) = 1;
        ASSERT_EQ(WriteSettings(path, one), SettingsStatus::Ok);
        Settings back = DefaultSettings();
        ASSERT_EQ(ReadSettings(path, back), SettingsStatus::Ok);
        EXPECT_TRUE(SameSettings(back, one)) << id;
    }
    ASSERT_EQ(WriteSettings(path, Unusual()), SettingsStatus::Ok);
    ASSERT_EQ(WriteSettings(path, Unusual()), SettingsStatus::Ok);
    EXPECT_EQ(ReadAll(path), "[A]\r\na=1\r\n[B]\r\nb=2\r\n\r\n" + ComposeSettingsFile("", Unusual()));
    EXPECT_TRUE(SameSettings(ReadText(ReadAll(path)), Unusual()));
    EXPECT_EQ(ListFolder(dir.Path()), "Plugin.ini");
}

TEST_F(SettingsFile, NoFileKeepsTheDefaultsAndQuitCreatesTheSection) {
    Settings s = DefaultSettings();
    EXPECT_EQ(ReadSettings(path, s), SettingsStatus::NoFile);
    EXPECT_TRUE(SameSettings(s, DefaultSettings()));
    EXPECT_FALSE(s.KeepExistingFile);
    ASSERT_EQ(WriteSettings(path, s), SettingsStatus::Ok);
    EXPECT_EQ(ReadAll(path), kDefaultSection);
    // The file's own folder is made; a path that names nothing further up is not.
    const std::string sep(1, PathSeparator());
    EXPECT_EQ(WriteSettings(dir.File("missing") + sep + "deeper" + sep + "Plugin.ini", s), SettingsStatus::WriteFailed);
    EXPECT_FALSE(DirectoryExists(dir.File("missing")));
    ASSERT_EQ(WriteSettings(dir.File("Plugins") + sep + "Plugin.ini", s), SettingsStatus::Ok);
    EXPECT_EQ(ReadAll(dir.File("Plugins") + sep + "Plugin.ini"), kDefaultSection);
}

// The reader asks for whole chunks: lines that straddle chunk ends read the same, and
// a large file costs a handful of operations, not one per byte.
TEST_F(SettingsFile, ReadsThroughABuffer) {
    std::string padding = "[A]\r\n";
    for (int i = 0; padding.size() < 3 * kSettingsReadChunk - 40; ++i) {
        padding.append("k").append(std::to_string(i)).append("=v\r\n");
    }
    std::string text = ComposeSettingsFile(padding, Unusual()) + "\r\n[B]\r\n" + padding;
    EXPECT_TRUE(SameSettings(ReadText(text), Unusual()));
    FailFileOperationAt(20);
    EXPECT_TRUE(SameSettings(ReadText(text), Unusual()));
}

TEST_F(SettingsFile, UnreadableFileKeepsWhatWasReadAndIsNeverReplaced) {
    std::string text = "[Vemo Plugin]\r\nDisabled=1\r\n;" + std::string(kSettingsReadChunk, '.') + "\r\nAutoplay=1\r\n";
    WriteAll(path, text);
    Settings s = DefaultSettings();
    FailFileOperationAt(3);  // open, first chunk, then the second chunk fails
    EXPECT_EQ(ReadSettings(path, s), SettingsStatus::Unreadable);
    EXPECT_TRUE(s.OptDisabled());
    EXPECT_FALSE(s.OptAutoplay());
    EXPECT_TRUE(s.KeepExistingFile);
    EXPECT_EQ(WriteSettings(path, s), SettingsStatus::Unreadable);
    EXPECT_EQ(ReadAll(path), text);

    Settings opened = DefaultSettings();
    FailFileOperationAt(1);
    EXPECT_EQ(ReadSettings(path, opened), SettingsStatus::Unreadable);
    EXPECT_TRUE(opened.KeepExistingFile);
    EXPECT_TRUE(SameSettings(opened, DefaultSettings()));

    // Readable at load but not at quit.
    FailFileOperationAt(1);
    EXPECT_EQ(WriteSettings(path, DefaultSettings()), SettingsStatus::Unreadable);
    EXPECT_EQ(ReadAll(path), text);
}

// The player's place is read first; the program folder's file only when the player's
// has no section, and only a whole one. Nothing there at all is a first start.
TEST_F(SettingsFile, CarriesTheOlderPlaceOverOnceAndKnowsAFirstStart) {
    const std::string ours = "[Vemo Plugin]\r\nAutoplay=1\r\n";
    const std::string older = "[Vemo Plugin]\r\nDisabled=1\r\n";
    const std::string others = "[Other]\r\nx=1\r\n";
    const std::string olderLong = older + ";" + std::string(kSettingsReadChunk, '.');
    constexpr const char* kNone = nullptr;
    struct Case {
        const char* here;
        const char* there;
        int failAt;  // a file operation that fails, 0 for none
        SettingsStatus status;
        bool carried, first, autoplay, disabled;
    } cases[] = {
        {ours.c_str(), older.c_str(), 0, SettingsStatus::Ok, false, false, true, false},
        {kNone, older.c_str(), 0, SettingsStatus::NoFile, true, false, false, true},
        {others.c_str(), older.c_str(), 0, SettingsStatus::NoSection, true, false, false, true},
        {others.c_str(), others.c_str(), 0, SettingsStatus::NoSection, false, true, false, false},
        {kNone, kNone, 0, SettingsStatus::NoFile, false, true, false, false},
        // The older file fails half-way: nothing of it is taken, and it is still the user's.
        {kNone, olderLong.c_str(), 3, SettingsStatus::NoFile, false, false, false, false},
        // Ours cannot be read: the older one is not even looked at.
        {ours.c_str(), older.c_str(), 1, SettingsStatus::Unreadable, false, false, false, false},
    };
    const std::string there = dir.File("Older.ini");
    for (const Case& c : cases) {
        std::filesystem::remove(path);
        std::filesystem::remove(there);
        if (c.here) WriteAll(path, c.here);
        if (c.there) WriteAll(there, c.there);
        Settings s = DefaultSettings();
        FailFileOperationAt(c.failAt == 0 ? 0 : c.failAt + (c.here ? 0 : 2));
        const SettingsStart start = ReadSettingsOrCarryOver(path, there, s);
        FailFileOperationAt(0);
        const std::string what = std::string(c.here ? c.here : "-") + " | " + (c.there ? c.there : "-");
        EXPECT_EQ(start.Status, c.status) << what;
        EXPECT_EQ(start.CarriedOver, c.carried) << what;
        EXPECT_EQ(start.FirstStart, c.first) << what;
        EXPECT_EQ(s.OptAutoplay(), c.autoplay) << what;
        EXPECT_EQ(s.OptDisabled(), c.disabled) << what;
        EXPECT_EQ(s.KeepExistingFile, c.status == SettingsStatus::Unreadable) << what;
        if (c.carried) {
            ASSERT_EQ(WriteSettings(path, s), SettingsStatus::Ok);
            EXPECT_EQ(ReadAll(there), c.there) << "the older file is left alone";
        }
    }
    // An older player: one place only.
    std::filesystem::remove(path);
    Settings s = DefaultSettings();
    EXPECT_TRUE(ReadSettingsOrCarryOver(path, path, s).FirstStart);
}

TEST_F(SettingsFile, FolderInPlaceOfTheFileIsLeftAlone) {
    std::filesystem::create_directory(path);
    Settings s = DefaultSettings();
    EXPECT_EQ(ReadSettings(path, s), SettingsStatus::Unreadable);
    s.KeepExistingFile = false;
    EXPECT_EQ(WriteSettings(path, s), SettingsStatus::Unreadable);
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

// Whichever operation fails, the file holds either the old or the new content, the
// status says which, and no temporary file is left.
TEST_F(SettingsFile, AFailureAnywhereInAWriteLeavesOldOrNewWhole) {
    for (bool existed : {true, false}) {
        const std::string old = "[A]\r\na=1\r\n[Vemo Plugin]\r\nAutoplay=1\r\n[B]\r\nb=2";
        const std::string fresh = ComposeSettingsFile(existed ? old : "", Unusual());
        bool sawFailure = false;
        SettingsStatus status = SettingsStatus::WriteFailed;
        // Past the last operation of a write, the armed failure is never reached.
        for (int n = 1; n <= 40; ++n) {
            std::filesystem::remove(path);
            if (existed) WriteAll(path, old);
            FailFileOperationAt(n);
            status = WriteSettings(path, Unusual());
            FailFileOperationAt(0);
            std::string now = std::filesystem::exists(path) ? ReadAll(path) : "<none>";
            if (status == SettingsStatus::Ok) {
                EXPECT_EQ(now, fresh) << n;
            } else {
                sawFailure = true;
                EXPECT_EQ(now, existed ? old : "<none>") << n;
            }
            EXPECT_EQ(ListFolder(dir.Path()), std::filesystem::exists(path) ? "Plugin.ini" : "") << n;
        }
        EXPECT_TRUE(sawFailure);
        EXPECT_EQ(status, SettingsStatus::Ok);
    }
}

TEST_F(SettingsFile, ExistingTemporaryNamesAreNeverFollowedOrRemoved) {
    WriteAll(path, "[A]\r\n");
    const std::string victim = dir.File("victim");
    WriteAll(victim, "mine");
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
#ifndef _WIN32
        if (attempt == 0) {
            std::filesystem::create_symlink(victim, TemporaryPathBeside(path, 0));
            continue;
        }
#endif
        WriteAll(TemporaryPathBeside(path, attempt), "foreign");
        // Every name taken but the last, then all of them: the write still lands.
        if (attempt >= kTemporaryAttempts - 2) {
            ASSERT_EQ(WriteSettings(path, DefaultSettings()), SettingsStatus::Ok) << attempt;
            EXPECT_EQ(ReadAll(path), "[A]\r\n\r\n" + kDefaultSection);
        }
    }
    EXPECT_EQ(ReadAll(victim), "mine");
    for (int attempt = 1; attempt < kTemporaryAttempts; ++attempt) {
        EXPECT_EQ(ReadAll(TemporaryPathBeside(path, attempt)), "foreign");
    }
}

// Another program reading the file at quit: Windows then refuses every way of replacing
// it, and the old file must come out of that whole, with none of our temporary files beside it.
TEST_F(SettingsFile, FileHeldOpenByAnotherProgram) {
    WriteAll(path, "[A]\r\n");
    {
        File held = File::OpenRead(path, Share::Read);
        ASSERT_TRUE(held);
        SettingsStatus status = WriteSettings(path, DefaultSettings());
#ifdef _WIN32
        EXPECT_EQ(status, SettingsStatus::WriteFailed);
        EXPECT_EQ(ReadAll(path), "[A]\r\n");
#else
        EXPECT_EQ(status, SettingsStatus::Ok);  // no sharing modes here
#endif
        // Nothing of ours nor of the system's replace call is left beside it.
        EXPECT_EQ(test::ListFolder(dir.Path()), "Plugin.ini");
    }
}

// ---- The destination folder for older copies ----

// The short forms a file system would give, for the folders these tests name.
std::optional<std::string> FakeShortPath(const std::string& path) {
    if (path == "C:\\Музыка") return "C:\\MUZYKA~1";
    if (path == "C:\\Μουσική\\🎵 new") return "C:\\MOYSIK~1\\NEW~1";
    return std::nullopt;
}
std::optional<std::string> NoShortPath(const std::string&) { return std::nullopt; }

class SettingsForOlderCopies : public SettingsFile {
protected:
    void TearDown() override {
        UseCodePageForTests(0);
        SettingsFile::TearDown();
    }
};

// The two keys as they leave this copy: the old one in the code page (or the short
// form, or "?" for what the code page lacks), the new one only where the old one
// cannot hold the folder.
TEST_F(SettingsForOlderCopies, WrittenKeys) {
    const struct {
        unsigned codePage;
        std::string folder;
        ShortPathFinder shortPath;
        std::string lines;  // from the old key up to the first hotkey
    } cases[] = {
        {1251, "C:\\Музыка", FakeShortPath, "Destination folder=C:\\\xCC\xF3\xE7\xFB\xEA\xE0\r\nPrev="},
        {1252, "C:\\Música", FakeShortPath, "Destination folder=C:\\M\xFAsica\r\nPrev="},
        {1252, "C:\\Музыка", FakeShortPath,
         "Destination folder=C:\\MUZYKA~1\r\nDestination folder UTF-8=C:\\Музыка\r\nPrev="},
        {1252, "C:\\Μουσική\\🎵 new", FakeShortPath,
         "Destination folder=C:\\MOYSIK~1\\NEW~1\r\nDestination folder UTF-8=C:\\Μουσική\\🎵 new\r\nPrev="},
        // No short form: what the code page lacks becomes "?", which no folder holds.
        {1251, "D:\\Кино 🎵 Müsik", NoShortPath,
         "Destination folder=D:\\\xCA\xE8\xED\xEE ?? M?sik\r\nDestination folder UTF-8=D:\\Кино 🎵 Müsik\r\nPrev="},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        UseCodePageForTests(c.codePage);
        Settings s = DefaultSettings();
        s.DestinationFolder = c.folder;
        const std::string text = ComposeSettingsFile("", s, c.shortPath);
        EXPECT_NE(text.find("Recycle bin=1\r\n" + c.lines), std::string::npos) << text.substr(0, 400);
        Settings back = DefaultSettings();
        ApplySettingsText(text, back, c.shortPath);
        EXPECT_EQ(back.DestinationFolder, c.folder);
    }
}

// What a copy reads from files written by itself, by older copies, and by hand.
TEST_F(SettingsForOlderCopies, WhichKeyCounts) {
    const std::string header = "[Vemo Plugin]\r\nDestination folder=";
    const struct {
        const char* what;
        unsigned codePage;
        std::string section;
        ShortPathFinder shortPath;
        std::string folder;
    } cases[] = {
        {"an older copy's file: code-page bytes", 1251, header + "C:\\\xCC\xF3\xE7\xFB\xEA\xE0", NoShortPath,
         "C:\\Музыка"},
        {"the same bytes under a Western code page", 1252, header + "C:\\\xCC\xF3", NoShortPath, "C:\\Ìó"},
        {"both keys, the short form still the folder's", 1252,
         header + "C:\\MUZYKA~1\r\nDestination folder UTF-8=C:\\Музыка", FakeShortPath, "C:\\Музыка"},
        {"both keys, with blanks round the new value", 1252,
         header + "C:\\MUZYKA~1\r\n Destination folder UTF-8 =  C:\\Музыка ", FakeShortPath, "C:\\Музыка"},
        {"both keys, the code page's best form", 1252,
         header + "C:\\?? x\r\nDestination folder UTF-8=C:\\🎵 x", FakeShortPath, "C:\\🎵 x"},
        {"an older copy chose another folder since", 1252,
         header + "D:\\Other\r\nDestination folder UTF-8=C:\\Музыка", FakeShortPath, "D:\\Other"},
        {"an older copy chose another short form", 1252,
         header + "C:\\PROGRA~1\r\nDestination folder UTF-8=C:\\Музыка", FakeShortPath, "C:\\PROGRA~1"},
        {"the folder cannot be looked up now: its short form is taken on trust", 1252,
         header + "E:\\MUZYKA~1\\Old\r\nDestination folder UTF-8=E:\\Музыка\\Old", NoShortPath,
         "E:\\Музыка\\Old"},
        {"nor can another folder, whose parts differ", 1252,
         header + "E:\\MUZYKA~1\\New\r\nDestination folder UTF-8=E:\\Музыка\\Old", NoShortPath,
         "E:\\MUZYKA~1\\New"},
        {"a lossless folder under both keys", 1251,
         header + "C:\\\xCC\xF3\r\nDestination folder UTF-8=C:\\Му", NoShortPath, "C:\\Му"},
        {"the new key alone, with nothing to check it by", 1252, "[Vemo Plugin]\r\nDestination folder UTF-8=C:\\Музыка",
         FakeShortPath, ""},
        {"broken UTF-8 in the new key is shown, not dropped", 1252,
         header + "C:\\?? ?\r\nDestination folder UTF-8=C:\\\xF0\x9F\x8E\xB5 \xFF", NoShortPath,
         "C:\\🎵 \uFFFD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        UseCodePageForTests(c.codePage);
        Settings s = DefaultSettings();
        ApplySettingsText(c.section, s, c.shortPath);
        EXPECT_EQ(s.DestinationFolder, c.folder);
    }
}

// A folder outside the code page survives a quit and a start; the file stays 8-bit text
// without a byte-order mark, every other section byte for byte.
TEST_F(SettingsForOlderCopies, FolderOutsideTheCodePageSurvivesWriteAndRead) {
    UseCodePageForTests(1252);
    const std::string others = "[A]\r\nname=\xCC\xF3\xE7\r\n\r\n[B]\nx=\xFF\xFE\n";
    WriteAll(path, others + "[Vemo Plugin]\r\nAutoplay=1\r\n");
    for (const std::string& folder :
         {std::string("C:\\Μουσική\\🎵 new"), std::string("D:\\ソング"), "F:\\" + std::string(300, 'a')}) {
        SCOPED_TRACE(folder);
        Settings s = Unusual();
        s.DestinationFolder = folder;
        ASSERT_EQ(WriteSettings(path, s, FakeShortPath), SettingsStatus::Ok);
        const std::string written = ReadAll(path);
        EXPECT_EQ(written.substr(0, others.size() + 2), others + "\r\n");
        EXPECT_FALSE(written.starts_with("\xEF\xBB\xBF"));
        Settings back = DefaultSettings();
        ASSERT_EQ(ReadSettings(path, back, FakeShortPath), SettingsStatus::Ok);
        EXPECT_EQ(back.DestinationFolder, folder.substr(0, kMaxDestinationFolder));
        s.DestinationFolder = back.DestinationFolder;
        EXPECT_TRUE(SameSettings(back, s));
    }
}

// The limit counts UTF-16 units, as the edit field does, and never cuts a character.
TEST_F(SettingsForOlderCopies, FolderLimitCountsUtf16Units) {
    UseCodePageForTests(1251);
    const std::string ya = "\xD1\x8F";  // я, two bytes, one unit
    const std::string note = "🎵";       // four bytes, two units
    std::string cyrillic;
    for (int i = 0; i < 300; ++i) cyrillic += ya;
    std::string keep259;
    for (int i = 0; i < 259; ++i) keep259 += ya;
    const struct {
        std::string folder, kept;
    } cases[] = {
        {cyrillic, keep259},
        {std::string(258, 'a') + note, std::string(258, 'a')},
        {std::string(257, 'a') + note + "b", std::string(257, 'a') + note},
    };
    for (const auto& c : cases) {
        Settings s = DefaultSettings();
        s.DestinationFolder = c.folder;
        Settings back = DefaultSettings();
        ApplySettingsText(ComposeSettingsFile("", s, NoShortPath), back, NoShortPath);
        EXPECT_EQ(back.DestinationFolder, c.kept) << c.folder.size();
    }
}

TEST(SettingsPaths, PlayerDirectoryAndSettingsPath) {
    const std::string sep(1, PathSeparator());
    const std::string folder = sep + "Program Files" + sep + "Quavix";
    EXPECT_EQ(PlayerDirectory("\"" + folder + sep + "quavix.exe\" \"" + sep + "x" + sep + "y.mp3\""), folder);
    EXPECT_EQ(PlayerDirectory("\"" + folder + sep + "quavix.exe\""), folder);

    // No usable quoted path: the running program's own folder.
    const std::string own = FolderOf(ProgramPath());
    ASSERT_FALSE(own.empty());
    const std::string unusable[] = {"", "quavix.exe /play", "\"", "\"\" x", "\"quavix.exe\" x",
                                    "\"" + folder + sep + "quavix.exe"};
    for (const std::string& line : unusable) {
        EXPECT_EQ(PlayerDirectory(line), own) << line;
    }
    EXPECT_EQ(SettingsPath(folder), folder + sep + "Plugins" + sep + "Plugin.ini");

    // A player folder in any script is found whole, "ソ" included (its double-byte form
    // once held the separator's byte).
    const std::string named = sep + "Плеер" + sep + "ソング 🎵";
    EXPECT_EQ(PlayerDirectory("\"" + named + sep + "quavix.exe\" x"), named);
}

}  // namespace
}  // namespace vemo
