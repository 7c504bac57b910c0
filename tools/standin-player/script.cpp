#include "script.h"

#include <array>
#include <cctype>
#include <utility>

#include "text/text.h"

namespace vemo::standin {

namespace {

struct KeyName {
    const char* name;
    uint8_t code;
};

constexpr std::array<KeyName, 20> kNamedKeys{{
    {"SPACE", 0x20}, {"LEFT", 0x25}, {"UP", 0x26}, {"RIGHT", 0x27}, {"DOWN", 0x28},
    {"DELETE", 0x2E}, {"DEL", 0x2E}, {"INSERT", 0x2D}, {"HOME", 0x24}, {"END", 0x23},
    {"PAGEUP", 0x21}, {"PAGEDOWN", 0x22}, {"ENTER", 0x0D}, {"RETURN", 0x0D}, {"ESC", 0x1B},
    {"ESCAPE", 0x1B}, {"TAB", 0x09}, {"BACKSPACE", 0x08}, {"`", 0xC0}, {"BACKQUOTE", 0xC0},
}};

constexpr uint8_t kF1 = 0x70;
constexpr int kFunctionKeys = 12;

std::string Upper(std::string_view text) {
    std::string s(text);
    StrUpper(s.data());
    return s;
}

std::optional<uint8_t> ModifierCode(const std::string& name) {
    if (name == "WIN") return vk::kWin;
    if (name == "ALT") return vk::kAlt;
    if (name == "CTRL" || name == "CONTROL") return vk::kCtrl;
    if (name == "SHIFT") return vk::kShift;
    return std::nullopt;
}

std::optional<uint8_t> KeyCode(const std::string& name) {
    if (name.size() == 1 && (std::isupper(static_cast<unsigned char>(name[0])) ||
                             std::isdigit(static_cast<unsigned char>(name[0]))))
        return static_cast<uint8_t>(name[0]);  // letters and digits are their own codes
    if (name.size() >= 2 && name[0] == 'F') {
        int n = 0;
        for (size_t i = 1; i < name.size(); ++i) {
            if (!std::isdigit(static_cast<unsigned char>(name[i])) || n > kFunctionKeys) return std::nullopt;
            n = n * 10 + (name[i] - '0');
        }
        if (n >= 1 && n <= kFunctionKeys) return static_cast<uint8_t>(kF1 + n - 1);
        return std::nullopt;
    }
    for (const KeyName& k : kNamedKeys)
        if (name == k.name) return k.code;
    return std::nullopt;
}

// Splits at runs of blanks and tabs.
std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.emplace_back(line.substr(start, i - start));
    }
    return words;
}

bool ParseNumber(const std::string& text, int64_t& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// The rest of the line after its first word, trimmed (paths may contain blanks).
std::string RestAfterFirstWord(std::string_view line) {
    std::string trimmed = Trim(line);
    size_t blank = trimmed.find_first_of(" \t");
    return blank == std::string::npos ? "" : Trim(std::string_view(trimmed).substr(blank));
}

}  // namespace

std::optional<KeyCombo> ParseKeyCombo(std::string_view text) {
    KeyCombo combo;
    bool haveKey = false;
    // "+" itself is not a key name here, so splitting at every "+" is safe.
    size_t start = 0;
    while (start <= text.size()) {
        size_t plus = text.find('+', start);
        std::string name = Upper(Trim(text.substr(start, plus == std::string_view::npos ? text.npos : plus - start)));
        if (name.empty()) return std::nullopt;
        if (auto modifier = ModifierCode(name); modifier && !haveKey) {
            combo.modifiers.push_back(*modifier);
        } else if (auto key = KeyCode(name); key && !haveKey) {
            combo.key = *key;
            haveKey = true;
        } else {
            return std::nullopt;
        }
        if (plus == std::string_view::npos) break;
        start = plus + 1;
    }
    if (!haveKey) return std::nullopt;
    return combo;
}

int64_t HoldRepeatsDue(int64_t heldMs) {
    if (heldMs < kRepeatDelayMs) return 0;
    return 1 + (heldMs - kRepeatDelayMs) / kRepeatPeriodMs;
}

bool ParseScript(std::string_view text, std::vector<Step>& steps, std::string& error) {
    steps.clear();
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        size_t end = text.find('\n');
        std::string line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line[0] == '#') continue;

        std::vector<std::string> words = Words(line);
        std::string verb = Upper(words[0]);
        Step step;
        step.text = line;
        bool ok = false;
        if (verb == "KEYS" && words.size() == 2) {
            step.kind = StepKind::Keys;
            if (auto combo = ParseKeyCombo(words[1])) {
                step.keys = *combo;
                ok = true;
            }
        } else if (verb == "HOLD" && words.size() == 3) {
            step.kind = StepKind::Hold;
            if (auto combo = ParseKeyCombo(words[1])) {
                step.keys = *combo;
                ok = ParseNumber(words[2], step.number);
            }
        } else if (verb == "WAIT" && words.size() == 2) {
            step.kind = StepKind::Wait;
            ok = ParseNumber(words[1], step.number);
        } else if (verb == "SHOT" && words.size() >= 2) {
            step.kind = StepKind::Shot;
            step.argument = RestAfterFirstWord(line);
            ok = true;
        } else if (verb == "CLICK" && words.size() == 4) {
            step.kind = StepKind::Click;
            int64_t x = 0;
            int64_t y = 0;
            std::string button = Upper(words[3]);
            ok = ParseNumber(words[1], x) && ParseNumber(words[2], y);
            step.x = static_cast<int32_t>(x);
            step.y = static_cast<int32_t>(y);
            if (button == "LEFT") step.button = MouseButton::Left;
            else if (button == "RIGHT") step.button = MouseButton::Right;
            else if (button == "MIDDLE") step.button = MouseButton::Middle;
            else ok = false;
        } else if (verb == "CMD" && words.size() == 2) {
            step.kind = StepKind::Cmd;
            ok = ParseNumber(words[1], step.number) && step.number <= 0xFFFF;
        } else if (verb == "CONFIG" && words.size() == 1) {
            step.kind = StepKind::Config;
            ok = true;
        } else if (verb == "TRAY" && words.size() == 1) {
            step.kind = StepKind::Tray;
            ok = true;
        } else if (verb == "RUN" && words.size() >= 2) {
            step.kind = StepKind::Run;
            step.argument = RestAfterFirstWord(line);
            ok = true;
        } else if (verb == "WINDOWS" && words.size() == 1) {
            step.kind = StepKind::Windows;
            ok = true;
        } else if (verb == "QUIT" && words.size() == 1) {
            step.kind = StepKind::Quit;
            ok = true;
        }
        if (!ok) {
            error = "line " + NumToStr(false, lineNumber) + ": cannot understand \"" + line + "\"";
            return false;
        }
        steps.push_back(std::move(step));
    }
    return true;
}

}  // namespace vemo::standin
