// The messages the plug-in sends the player, as the player receives them.
#include <gtest/gtest.h>

#include "support/plugin_fixture.h"
#include "text/code_page.h"
#include "text/unicode.h"
#include "win/module_state.h"
#include "win/player_link.h"

namespace vemo::test {
namespace {

class PlayerLinkTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        gPlugin.PlayerWindow = player_.Window();
        player_.ClearMessages();
    }
};

TEST_F(PlayerLinkTest, CommandsAndQueriesHaveThePlayersForm) {
    SendCommand(CmdNext);
    player_.Script().ListPosition = 7;
    EXPECT_EQ(QueryPlayer(QueryListPosition), 7);
    QueryPlayer(SetVolume, 200);
    ASSERT_EQ(player_.Messages().size(), 3u);
    const RecordedMessage& command = player_.Messages()[0];
    EXPECT_EQ(command.Message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(command.WParam, 40048u);
    EXPECT_EQ(command.LParam, 0);
    const RecordedMessage& query = player_.Messages()[1];
    EXPECT_EQ(query.Message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(query.WParam, 0u);
    EXPECT_EQ(query.LParam, 125);
    EXPECT_EQ(player_.Messages()[2].WParam, 200u);
    EXPECT_EQ(player_.Script().Volume, 200);
}

TEST_F(PlayerLinkTest, ReturnedTextsAreCopiedAtOnce) {
    player_.Script().EntryTitles = {"First", "Second"};
    const std::string second = QueryPlayerText(QueryEntryTitle, 1);
    const std::string first = QueryPlayerText(QueryEntryTitle, 0);  // the player reuses its buffer
    EXPECT_EQ(second, "Second");
    EXPECT_EQ(first, "First");
    EXPECT_EQ(QueryPlayerText(QueryEntryTitle, 5), "");  // the player answers null
}

TEST_F(PlayerLinkTest, NothingIsSentWithoutAPlayerWindow) {
    gPlugin.PlayerWindow = nullptr;
    SendCommand(CmdExit);
    EXPECT_EQ(QueryPlayer(QueryVersion), 0);
    EXPECT_EQ(QueryPlayerText(QueryEntryFile, 0), "");
    EXPECT_TRUE(player_.Messages().empty());
}

TEST_F(PlayerLinkTest, PlaylistEditorIsFoundByItsTitleAndRemembered) {
    EXPECT_EQ(FindPlaylistEditor(), player_.PlaylistEditor());
    RemoveDeadPlaylistEntries();
    EXPECT_EQ(player_.EditorCommands(), std::vector<WPARAM>{40222});
    EXPECT_TRUE(player_.Commands().empty());
    // Retitled, it is not found again; the last one found is kept.
    SetWindowTextA(player_.PlaylistEditor(), "Quavix Playlist Edito");
    EXPECT_EQ(FindPlaylistEditor(), player_.PlaylistEditor());
}

TEST_F(PlayerLinkTest, PlaylistEditorTitleIsComparedInItsLength) {
    SetWindowTextA(player_.PlaylistEditor(), "Quavix Playlist Editor [docked]");
    EXPECT_EQ(FindPlaylistEditor(), player_.PlaylistEditor());
    gPlugin.PlaylistEditorWindow = nullptr;
    SetWindowTextA(player_.PlaylistEditor(), "quavix playlist editor");
    EXPECT_EQ(FindPlaylistEditor(), nullptr);
}

// A file made with the wide calls, so that its name is exactly the one given.
void MakeFile(const std::string& path) {
    HANDLE file = CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    CloseHandle(file);
}

// What each kind of player gives for an entry, and whether the name may be acted on.
// The 8-bit answers are read in the Western code page the tests run with.
struct EntryTextCase {
    const char* Name;
    PlayerAge Age;
    PlayerQuery Query;
    std::string Text;      // the entry's own text (a file name: inside the test folder)
    std::string Expected;  // what the plug-in receives
    bool Whole;
    std::vector<LPARAM> Asked;
};

class EntryTextTest : public PlayerLinkTest, public ::testing::WithParamInterface<EntryTextCase> {};

TEST_P(EntryTextTest, WideFirstThenTheCodePageAnswer) {
    const EntryTextCase& c = GetParam();
    if (CurrentCodePage() != 1252) GTEST_SKIP() << "the cases read the 8-bit answers as Western";
    const bool file = c.Query == QueryEntryFile;
    const std::string text = file ? temp_.File(c.Text) : c.Text;
    if (file) MakeFile(text);
    auto& texts = file ? player_.Script().EntryFiles : player_.Script().EntryTitles;
    texts = {"other", text};
    player_.Script().Age = c.Age;
    const PlayerText got = QueryEntryText(c.Query, 1);
    EXPECT_EQ(got.Text, file ? temp_.File(c.Expected) : c.Expected);
    EXPECT_EQ(got.Whole, c.Whole);
    EXPECT_EQ(player_.Queries(), c.Asked);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EntryTextTest,
    ::testing::Values(
        EntryTextCase{"WideTitle", PlayerAge::Current, QueryEntryTitle, "1. 日本語 Ж 😀", "1. 日本語 Ж 😀", true, {213}},
        EntryTextCase{"WideFile", PlayerAge::Current, QueryEntryFile, "Кино - Группа крови.mp3",
                      "Кино - Группа крови.mp3", true, {214}},
        EntryTextCase{"WideTitleWithAQuestionMark", PlayerAge::Current, QueryEntryTitle, "Why? 😀", "Why? 😀", true,
                      {213}},
        EntryTextCase{"OlderLatin1", PlayerAge::OlderLossy, QueryEntryFile, "Motörhead - Beyoncé.mp3",
                      "Motörhead - Beyoncé.mp3", true, {214, 211}},
        EntryTextCase{"OlderCyrillic", PlayerAge::OlderLossy, QueryEntryFile, "Кино.mp3", "????.mp3", false,
                      {214, 211}},
        EntryTextCase{"OlderEmoji", PlayerAge::OlderLossy, QueryEntryTitle, "Song 😀", "Song ??", false, {213, 212}},
        EntryTextCase{"OlderShortNameMadeLong", PlayerAge::OlderShortNames, QueryEntryFile, "ソング 日本語.mp3",
                      "ソング 日本語.mp3", true, {214, 211}}),
    [](const ::testing::TestParamInfo<EntryTextCase>& each) { return std::string(each.param.Name); });

// The new name reaches the player whole through the wide message; an older player gets
// the 8-bit one only for a name its code page holds, and otherwise nothing at all.
TEST_F(PlayerLinkTest, NewFileNameReachesThePlayerOnlyWhole) {
    if (CurrentCodePage() != 1252) GTEST_SKIP() << "the cases read the 8-bit answers as Western";
    FakePlayerScript& s = player_.Script();
    const struct {
        PlayerAge Age;
        std::string Name;
        bool Told;
        LPARAM Message;
    } cases[] = {
        {PlayerAge::Current, "Z:\\Кино - 日本語 😀.mp3", true, 1245},
        {PlayerAge::OlderLossy, "Z:\\Motörhead.mp3", true, 245},
        {PlayerAge::OlderLossy, "Z:\\Кино.mp3", false, 0},
        {PlayerAge::OlderShortNames, "Z:\\日本語.mp3", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        s.Age = c.Age;
        s.EntryFiles = {"Z:\\old.mp3"};
        QueryEntryText(QueryEntryFile, 0);  // how the player answers is learnt here
        player_.ClearMessages();
        EXPECT_EQ(PlayerCanTakeFileName(c.Name), c.Told);
        EXPECT_EQ(TellPlayerCurrentFile(c.Name), c.Told);
        EXPECT_EQ(s.EntryFiles[0], c.Told ? c.Name : "Z:\\old.mp3");
        EXPECT_EQ(player_.Queries(), c.Told ? std::vector<LPARAM>{c.Message} : std::vector<LPARAM>{});
    }
}

// A wide answer learnt from one window does not stand for another player's window.
TEST_F(PlayerLinkTest, AnotherWindowIsNotTakenForAWidePlayer) {
    if (CurrentCodePage() != 1252) GTEST_SKIP() << "the name must be outside the code page";
    player_.Script().EntryFiles = {"Z:\\old.mp3"};
    QueryEntryText(QueryEntryFile, 0);
    FakePlayer older;
    older.Script().Age = PlayerAge::OlderLossy;
    gPlugin.PlayerWindow = older.Window();
    EXPECT_FALSE(PlayerCanTakeFileName("Z:\\Кино.mp3"));
}

TEST_F(PlayerLinkTest, TitleIsSetWideAndReadsBackWhole) {
    SetPlayerTitle("1. 日本語 Ж 😀 - Quavix");
    ASSERT_EQ(player_.Messages().size(), 1u);
    EXPECT_EQ(player_.Messages()[0].Text, "1. 日本語 Ж 😀 - Quavix");
    wchar_t title[64] = {};
    GetWindowTextW(player_.Window(), title, 64);
    EXPECT_EQ(FromWide(title), "1. 日本語 Ж 😀 - Quavix");
}

}  // namespace
}  // namespace vemo::test
