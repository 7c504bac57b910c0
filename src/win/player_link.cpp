#include "win/player_link.h"

#include <cstring>

#include "text/text.h"
#include "win/module_state.h"

namespace vemo {

LRESULT SendPlayerMessage(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!target) return 0;
    return SendMessageA(target, message, wParam, lParam);
}

LRESULT SendToPlayer(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendPlayerMessage(gPlugin.PlayerWindow, message, wParam, lParam);
}

void SendCommand(PlayerCommand command) { SendToPlayer(WM_COMMAND, command, 0); }

LRESULT QueryPlayer(PlayerQuery query, WPARAM argument) {
    return SendToPlayer(kPlayerQueryMessage, argument, query);
}

std::string QueryPlayerText(PlayerQuery query, WPARAM argument) {
    return PCharToStr(reinterpret_cast<const char*>(QueryPlayer(query, argument)));
}

void SetPlayerTitle(const std::string& title) {
    SendToPlayer(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
}

namespace {

// Room for the title and its terminator: a longer title is cut to this length before
// it is compared, as the player's own lookup does.
constexpr int kEditorTitleBuffer = sizeof(kPlaylistEditorTitle);

BOOL CALLBACK MatchPlaylistEditor(HWND window, LPARAM found) {
    char title[kEditorTitleBuffer] = {};
    GetWindowTextA(window, title, kEditorTitleBuffer);
    if (std::strcmp(title, kPlaylistEditorTitle) != 0) return TRUE;
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
