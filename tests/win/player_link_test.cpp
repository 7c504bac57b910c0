// The messages the plug-in sends the player, as the player receives them.
#include <gtest/gtest.h>

#include "support/plugin_fixture.h"
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

}  // namespace
}  // namespace vemo::test
