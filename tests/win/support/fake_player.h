// A window that stands in for the player's main window inside a test: it records every
// message that reaches its procedure and answers the player's queries from a scripted
// state. Optionally it has a playlist editor window, found by its title. Its windows are
// Unicode, as the player's are; it answers the wide entry queries unless it plays an
// older player, which knows only the 8-bit ones.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vemo::test {

struct RecordedMessage {
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
    std::string Text;  // the new title of a WM_SETTEXT, in UTF-8
};

enum class PlayerAge : uint8_t {
    Current,          // answers the wide queries (and the 8-bit ones, lossily)
    OlderLossy,       // only the 8-bit queries: "?" for what the code page lacks
    OlderShortNames,  // only the 8-bit queries: a file's short 8.3 name, titles as above
};

// What the player answers; the set queries and the transport commands change it as the
// player would.
struct FakePlayerScript {
    uint32_t Version = 0x2091;
    LRESULT PlayState = 0;  // 1 playing, 3 paused, else stopped
    LRESULT PositionMs = 0;
    LRESULT LengthSeconds = 0;
    LRESULT ListPosition = 0;
    // Answered for the list length when set; else the number of titles.
    std::optional<LRESULT> ListLength;
    std::vector<std::string> EntryFiles;   // UTF-8
    std::vector<std::string> EntryTitles;  // UTF-8
    PlayerAge Age = PlayerAge::Current;
    LRESULT Volume = 0;
    std::array<LRESULT, 12> EqData{};
    size_t EqSelected = 0;
    bool Shuffle = false;
    bool Repeat = false;
    // The folder the player keeps its own settings in (UTF-8), answered wide to a current
    // player's question and in the code page to the 8-bit one; empty: 0 to both.
    std::string SettingsFolder;
};

class FakePlayer {
public:
    explicit FakePlayer(bool withPlaylistEditor = false);
    ~FakePlayer();
    FakePlayer(const FakePlayer&) = delete;
    FakePlayer& operator=(const FakePlayer&) = delete;

    HWND Window() const { return window_; }
    HWND PlaylistEditor() const { return editor_; }
    FakePlayerScript& Script() { return script_; }

    const std::vector<RecordedMessage>& Messages() const { return messages_; }
    const std::vector<RecordedMessage>& EditorMessages() const { return editorMessages_; }
    // WM_COMMAND ids, and query numbers (WM_USER lParam), in the order they came.
    std::vector<WPARAM> Commands() const;
    std::vector<WPARAM> EditorCommands() const;
    std::vector<LPARAM> Queries() const;
    // Commands, queries and title changes in the order they came: "cmd 40048",
    // "query 252 1" (number, argument), "settext 4. Title - Quavix [Stopped]".
    std::vector<std::string> Log() const;
    size_t Count(UINT message) const;
    void ClearMessages();

    // The window procedure the player window was created with.
    static WNDPROC OwnProc();

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnQuery(WPARAM argument, LPARAM query);
    void OnCommand(WPARAM id);
    // Keep a returned text alive after the answer, as the player's memory would.
    LRESULT TextResult(const std::vector<std::string>& texts, WPARAM index, bool shortName);
    LRESULT WideResult(const std::vector<std::string>& texts, WPARAM index);
    LRESULT FolderResult(bool wide);
    void ChangeFile(const std::string& path);

    HWND window_ = nullptr;
    HWND editor_ = nullptr;
    FakePlayerScript script_;
    std::vector<RecordedMessage> messages_;
    std::vector<RecordedMessage> editorMessages_;
    std::string returnedText_;
    std::wstring returnedWide_;
};

}  // namespace vemo::test
