#include "win/player_link.h"

#include <optional>

#include "settings/settings_file.h"
#include "text/code_page.h"
#include "text/text.h"
#include "text/unicode.h"
#include "win/module_state.h"

namespace vemo {

LRESULT SendPlayerMessage(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!target) return 0;
    // Wide, so that a text message reaches a Unicode player whole; numbered queries and
    // commands carry no text and are the same either way.
    return SendMessageW(target, message, wParam, lParam);
}

LRESULT SendToPlayer(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendPlayerMessage(gPlugin.PlayerWindow, message, wParam, lParam);
}

void SendCommand(PlayerCommand command) { SendToPlayer(WM_COMMAND, command, 0); }

int32_t QueryPlayer(PlayerQuery query, WPARAM argument) {
    return static_cast<int32_t>(SendToPlayer(kPlayerQueryMessage, argument, query));
}

namespace {

// What the last entry text query learnt of the player: whether it answers the wide
// queries. Asked afresh with every entry text, so a window handle used again by another
// player is never judged by the old one's answers.
struct PlayerForm {
    HWND Window = nullptr;
    bool Wide = false;
};
PlayerForm gPlayerForm;

// An older player puts "?" for every character its code page lacks.
constexpr char kLostCharacter = '?';

std::optional<PlayerQuery> WideTwin(PlayerQuery query) {
    if (query == QueryEntryTitle) return QueryEntryTitleWide;
    if (query == QueryEntryFile) return QueryEntryFileWide;
    return std::nullopt;
}

// A pointer, so the whole width of the result.
const void* AskForText(PlayerQuery query, WPARAM argument) {
    return reinterpret_cast<const void*>(SendToPlayer(kPlayerQueryMessage, argument, query));
}

// The long form of a short (8.3) name; the name as it is when the file cannot be found.
std::string LongPathName(const std::string& path) {
    const std::wstring wide = ToWide(path);
    const DWORD size = GetLongPathNameW(wide.c_str(), nullptr, 0);
    if (size == 0) return path;
    std::wstring longName(size, L'\0');
    const DWORD length = GetLongPathNameW(wide.c_str(), longName.data(), size);
    if (length == 0 || length >= size) return path;
    longName.resize(length);
    return FromWide(longName);
}

}  // namespace

PlayerText QueryEntryText(PlayerQuery query, WPARAM index) {
    if (const std::optional<PlayerQuery> wide = WideTwin(query)) {
        if (const void* answer = AskForText(*wide, index)) {
            gPlayerForm = {gPlugin.PlayerWindow, true};
            return {FromWide(static_cast<const wchar_t*>(answer)), true};
        }
    }
    const char* answer = static_cast<const char*>(AskForText(query, index));
    if (!answer) return {};
    if (WideTwin(query)) gPlayerForm = {gPlugin.PlayerWindow, false};
    const std::string bytes = answer;
    PlayerText text{CodePageToUtf8(bytes), bytes.find(kLostCharacter) == std::string::npos};
    if (query == QueryEntryFile && text.Whole) text.Text = LongPathName(text.Text);
    return text;
}

std::string QueryPlayerText(PlayerQuery query, WPARAM argument) { return QueryEntryText(query, argument).Text; }

namespace {

// Until a wide answer came from this very window, the player is taken to be an older one.
bool PlayerAnswersWide() { return gPlayerForm.Wide && gPlayerForm.Window == gPlugin.PlayerWindow; }

}  // namespace

bool PlayerCanTakeFileName(const std::string& path) { return PlayerAnswersWide() || ConvertsLosslessly(path); }

bool TellPlayerCurrentFile(const std::string& path) {
    if (PlayerAnswersWide()) {
        std::wstring wide = ToWide(path);
        SendToPlayer(kPlayerQueryMessage, reinterpret_cast<WPARAM>(wide.data()), ChangeCurrentFileWide);
        return true;
    }
    std::optional<std::string> bytes = Utf8ToCodePage(path);
    if (!bytes) return false;
    SendToPlayer(kPlayerQueryMessage, reinterpret_cast<WPARAM>(bytes->data()), ChangeCurrentFile);
    return true;
}

std::string QueryPlayerSettingsFolder() {
    if (const void* wide = AskForText(QuerySettingsFolderWide, 0)) return FromWide(static_cast<const wchar_t*>(wide));
    const char* answer = static_cast<const char*>(AskForText(QuerySettingsFolder, 0));
    if (!answer) return {};
    const std::string bytes = answer;
    if (bytes.find(kLostCharacter) != std::string::npos) return {};
    return CodePageToUtf8(bytes);
}

std::string PlayerSettingsFile() {
    std::string folder = QueryPlayerSettingsFolder();
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder.empty() ? ProgramFolderSettingsFile() : SettingsPath(folder);
}

void SetPlayerTitle(const std::string& title) {
    const std::wstring wide = ToWide(title);
    SendToPlayer(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void MinimizeOrRestorePlayer() {
    HWND player = gPlugin.PlayerWindow;
    if (player) ShowWindow(player, IsIconic(player) ? SW_RESTORE : SW_MINIMIZE);
}

LRESULT PassToPlayer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = OldPlayerProc();
    // Wide on both sides, as the hook was installed: the player's title passes whole.
    if (!previous) return DefWindowProcW(window, message, wParam, lParam);
    return CallWindowProcW(previous, window, message, wParam, lParam);
}

namespace {

// Room for the title and its terminator: a longer title is cut to this length before
// it is compared, as the player's own lookup does.
constexpr int kEditorTitleBuffer = sizeof(kPlaylistEditorTitle);

// The title is ASCII, so each wide unit is compared with its byte.
bool IsEditorTitle(const wchar_t* title) {
    for (size_t i = 0; i < kEditorTitleBuffer; ++i) {
        if (title[i] != static_cast<wchar_t>(kPlaylistEditorTitle[i])) return false;
        if (title[i] == L'\0') return true;
    }
    return false;
}

BOOL CALLBACK MatchPlaylistEditor(HWND window, LPARAM found) {
    wchar_t title[kEditorTitleBuffer] = {};
    GetWindowTextW(window, title, kEditorTitleBuffer);
    if (!IsEditorTitle(title)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

HWND FindPlaylistEditor() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), MatchPlaylistEditor, reinterpret_cast<LPARAM>(&found));
    if (found) gPlugin.PlaylistEditorWindow = found;
    return gPlugin.PlaylistEditorWindow;
}

void RemoveDeadPlaylistEntries() {
    SendPlayerMessage(FindPlaylistEditor(), WM_COMMAND, CmdRemoveDeadFiles, 0);
}

}  // namespace vemo
