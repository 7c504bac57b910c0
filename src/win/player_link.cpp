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

int32_t QueryPlayer(PlayerQuery query, WPARAM argument) {
    return static_cast<int32_t>(SendToPlayer(kPlayerQueryMessage, argument, query));
}

// A pointer, so the whole width of the result.
std::string QueryPlayerText(PlayerQuery query, WPARAM argument) {
    return PCharToStr(reinterpret_cast<const char*>(SendToPlayer(kPlayerQueryMessage, argument, query)));
}

void SetPlayerTitle(const std::string& title) {
    SendToPlayer(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
}

void MinimizeOrRestorePlayer() {
    HWND player = gPlugin.PlayerWindow;
    if (player) ShowWindow(player, IsIconic(player) ? SW_RESTORE : SW_MINIMIZE);
}

LRESULT PassToPlayer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = OldPlayerProc();
    if (!previous) return DefWindowProcA(window, message, wParam, lParam);
    return CallWindowProcA(previous, window, message, wParam, lParam);
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
