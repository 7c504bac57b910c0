// Where the settings live: asked of the player at init, carried over once from the
// program folder, and a save that fails told once a run.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "plugin/lifecycle.h"
#include "support/plugin_fixture.h"
#include "support/temp_dir.h"
#include "text/file_access.h"
#include "text/unicode.h"
#include "win/module_state.h"

namespace vemo::test {
namespace {

// The program folder's file is the fixture's settingsPath_; the player's folder is made
// here. Autoplay=1 marks the program folder's section, Track numbers=1 the player's.
constexpr char kProgramSection[] = "[Vemo Plugin]\r\nAutoplay=1\r\n";
constexpr char kPlaceSection[] = "[Other]\r\nx=1\r\n\r\n[Vemo Plugin]\r\nTrack numbers=1\r\n";
constexpr char kOthersOnly[] = "[Other]\r\nx=1\r\n";

enum class Where : uint8_t { PlayersFolder, ProgramFolder };

struct PlaceCase {
    const char* Name;
    PlayerAge Age;
    const char* Folder;  // the player's answer, UTF-8 (under the test's folder); nullptr: 0
    const char* ProgramFile;
    const char* PlaceFile;  // nullptr: none
    Where Expected;
    bool Autoplay;      // read from the program folder's file
    bool TrackNumbers;  // read from the player's folder's file
};

class SettingsPlaceTest : public PluginTest, public ::testing::WithParamInterface<PlaceCase> {
protected:
    std::string PlaceFile(const char* folder) const {
        return temp_.File(folder) + "\\Plugins\\Plugin.ini";
    }
};

TEST_P(SettingsPlaceTest, TheSettingsAreWhereThePlayerSaysAndCarriedOverOnce) {
    const PlaceCase& c = GetParam();
    const std::string placeFile = c.Folder ? PlaceFile(c.Folder) : std::string();
    if (c.Folder) {
        std::filesystem::create_directories(std::filesystem::path(ToWide(FolderOf(placeFile))));
        player_.Script().SettingsFolder = temp_.File(c.Folder) + (c.Age == PlayerAge::Current ? "\\" : "");
    }
    player_.Script().Age = c.Age;
    if (c.ProgramFile) WriteSettingsFile(c.ProgramFile);
    if (c.PlaceFile) WriteAll(placeFile, c.PlaceFile);

    LoadAndInit();
    const std::string expected = c.Expected == Where::PlayersFolder ? placeFile : settingsPath_;
    EXPECT_EQ(CurrentSettingsPath(), expected);
    EXPECT_EQ(gSettings.OptAutoplay(), c.Autoplay);
    EXPECT_EQ(gSettings.OptTrackNumbers(), c.TrackNumbers);

    gSettings.Set(OptionId::Visualization, true);
    PluginQuit();
    EXPECT_TRUE(ShownBoxes().empty());
    EXPECT_NE(ReadAll(expected).find("\r\nVisualization=1\r\n"), std::string::npos) << "saved where it was read";
    // The other place is left as it was.
    if (c.Expected == Where::PlayersFolder && c.ProgramFile) {
        EXPECT_EQ(ReadAll(settingsPath_), c.ProgramFile);
    }
    if (c.Expected == Where::ProgramFolder && c.PlaceFile) {
        EXPECT_EQ(ReadAll(placeFile), c.PlaceFile);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SettingsPlaceTest,
    ::testing::Values(
        PlaceCase{"Wide", PlayerAge::Current, "profile", kProgramSection, kPlaceSection, Where::PlayersFolder, false,
                  true},
        PlaceCase{"WideOutsideTheCodePage", PlayerAge::Current, "\xE0\xB9\x80\xE0\xB8\x9E\xE0\xB8\xA5\xE0\xB8\x87",
                  nullptr, kPlaceSection, Where::PlayersFolder, false, true},
        PlaceCase{"EightBit", PlayerAge::OlderLossy, "profile", kProgramSection, kPlaceSection, Where::PlayersFolder,
                  false, true},
        // "?" in place of what the code page lacks names no folder.
        PlaceCase{"EightBitLossy", PlayerAge::OlderLossy, "\xE0\xB9\x80\xE0\xB8\x9E\xE0\xB8\xA5\xE0\xB8\x87",
                  kProgramSection, kPlaceSection, Where::ProgramFolder, true, false},
        PlaceCase{"NoAnswer", PlayerAge::Current, nullptr, kProgramSection, nullptr, Where::ProgramFolder, true,
                  false},
        PlaceCase{"CarriedOverIntoANewFile", PlayerAge::Current, "profile", kProgramSection, nullptr,
                  Where::PlayersFolder, true, false},
        PlaceCase{"CarriedOverBesideOtherPlugIns", PlayerAge::Current, "profile", kProgramSection, kOthersOnly,
                  Where::PlayersFolder, true, false},
        PlaceCase{"NothingAnywhere", PlayerAge::Current, "profile", nullptr, nullptr, Where::PlayersFolder, false,
                  false}),
    [](const auto& param) { return std::string(param.param.Name); });

// The player's folder without a Plugins folder yet: it is made at the first save.
TEST_F(PluginTest, APlayersFolderWithoutPluginsGetsOne) {
    const std::string folder = temp_.File("fresh profile");
    std::filesystem::create_directory(std::filesystem::path(ToWide(folder)));
    player_.Script().SettingsFolder = folder;
    LoadAndInit();
    PluginQuit();
    EXPECT_NE(ReadAll(folder + "\\Plugins\\Plugin.ini").find("[Vemo Plugin]"), std::string::npos);
}

// Quit without init never read the user's settings: it must not write the defaults over them.
TEST_F(PluginTest, QuitWithoutInitLeavesTheFileAlone) {
    WriteSettingsFile(kProgramSection);
    GetPluginRecord();
    PluginQuit();
    EXPECT_EQ(ReadAll(settingsPath_), kProgramSection);
}

}  // namespace
}  // namespace vemo::test
