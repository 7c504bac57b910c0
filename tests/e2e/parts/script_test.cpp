// The --script language and its key names.
#include <gtest/gtest.h>

#include "script.h"

namespace vemo::standin {
namespace {

struct ComboCase {
    const char* text;
    std::vector<uint8_t> modifiers;
    uint8_t key;
};

TEST(ParseKeyCombo, KnownNames) {
    const ComboCase cases[] = {
        {"Win+V", {vk::kWin}, 'V'},
        {"win+alt+z", {vk::kWin, vk::kAlt}, 'Z'},
        {"Ctrl+Shift+F5", {vk::kCtrl, vk::kShift}, 0x74},
        {"Win+`", {vk::kWin}, 0xC0},
        {"Win+Up", {vk::kWin}, 0x26},
        {"Win+Right", {vk::kWin}, 0x27},
        {"Win+Delete", {vk::kWin}, 0x2E},
        {"Win+Ctrl+Space", {vk::kWin, vk::kCtrl}, 0x20},
        {"Win+3", {vk::kWin}, '3'},
        {"F12", {}, 0x7B},
        {" Win + V ", {vk::kWin}, 'V'},
    };
    for (const ComboCase& c : cases) {
        auto combo = ParseKeyCombo(c.text);
        ASSERT_TRUE(combo) << c.text;
        EXPECT_EQ(combo->modifiers, c.modifiers) << c.text;
        EXPECT_EQ(combo->key, c.key) << c.text;
    }
}

TEST(ParseKeyCombo, RejectsWhatCannotBePressed) {
    for (const char* text : {"", "Win", "Win+", "+V", "V+W", "Win+F13", "Win+F0", "Win+F1F", "Hyper+V", "Win+V+Alt",
                             "Win+Enterprise"})
        EXPECT_FALSE(ParseKeyCombo(text)) << text;
}

TEST(ParseScript, EveryStepKind) {
    std::vector<Step> steps;
    std::string error;
    ASSERT_TRUE(ParseScript("# demo\r\n\r\nkeys Win+V\r\nwait 250\nshot out/a b.png\nclick 10 20 right\n"
                            "cmd 40048\nconfig\ntray\nrun prog.exe \"a b\"\nquit\nhold Win+Delete 2500",
                            steps, error))
        << error;
    ASSERT_EQ(steps.size(), 10u);
    EXPECT_EQ(steps[0].kind, StepKind::Keys);
    EXPECT_EQ(steps[0].keys.key, 'V');
    EXPECT_EQ(steps[0].text, "keys Win+V");
    EXPECT_EQ(steps[1].number, 250);
    EXPECT_EQ(steps[2].argument, "out/a b.png");  // paths may hold blanks
    EXPECT_EQ(steps[3].kind, StepKind::Click);
    EXPECT_EQ(steps[3].x, 10);
    EXPECT_EQ(steps[3].y, 20);
    EXPECT_EQ(steps[3].button, MouseButton::Right);
    EXPECT_EQ(steps[4].number, 40048);
    EXPECT_EQ(steps[5].kind, StepKind::Config);
    EXPECT_EQ(steps[6].kind, StepKind::Tray);
    EXPECT_EQ(steps[7].argument, "prog.exe \"a b\"");
    EXPECT_EQ(steps[8].kind, StepKind::Quit);
    EXPECT_EQ(steps[9].kind, StepKind::Hold);
    EXPECT_EQ(steps[9].keys.modifiers, std::vector<uint8_t>{vk::kWin});
    EXPECT_EQ(steps[9].keys.key, 0x2E);
    EXPECT_EQ(steps[9].number, 2500);
}

// As a keyboard repeats a held key: nothing for half a second, then about 30 a second.
TEST(HoldRepeatsDue, FollowsTheKeyboardsDelayAndRate) {
    const std::pair<int64_t, int64_t> cases[] = {{0, 0}, {499, 0}, {500, 1}, {532, 1}, {533, 2}, {2500, 61}};
    for (const auto& [held, repeats] : cases) EXPECT_EQ(HoldRepeatsDue(held), repeats) << held;
}

TEST(ParseScript, ErrorsNameTheLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"wait 10\nwait abc", "line 2"},
        {"click 1 2 up", "line 1"},
        {"keys Win+Q+R", "line 1"},
        {"\n\nfly away", "line 3"},
        {"cmd 70000", "line 1"},
        {"wait", "line 1"},
        {"quit now", "line 1"},
        {"hold Win+Delete", "line 1"},
        {"hold Win+Delete long", "line 1"},
        {"hold Win 500", "line 1"},
    };
    for (const auto& [text, where] : cases) {
        std::vector<Step> steps;
        std::string error;
        EXPECT_FALSE(ParseScript(text, steps, error)) << text;
        EXPECT_NE(error.find(where), std::string::npos) << text << ": " << error;
    }
}

}  // namespace
}  // namespace vemo::standin
