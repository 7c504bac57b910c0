#include "support/fake_player.h"

#include "win/player_link.h"

namespace vemo::test {

namespace {

constexpr char kClassName[] = "VemoFakePlayer";

void RegisterFakeClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = FakePlayer::OwnProc();
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    registered = RegisterClassA(&wc) != 0;
}

struct CreateParams {
    FakePlayer* Player;
    bool IsEditor;
};

}  // namespace

WNDPROC FakePlayer::OwnProc() { return &FakePlayer::Proc; }

FakePlayer::FakePlayer(bool withPlaylistEditor) {
    RegisterFakeClass();
    CreateParams main{this, false};
    window_ = CreateWindowExA(0, kClassName, "1. Nothing - Quavix", WS_OVERLAPPEDWINDOW, 50, 50, 400, 120, nullptr,
                              nullptr, GetModuleHandleA(nullptr), &main);
    if (withPlaylistEditor) {
        CreateParams editor{this, true};
        editor_ = CreateWindowExA(0, kClassName, kPlaylistEditorTitle, WS_OVERLAPPEDWINDOW, 50, 200, 400, 300,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), &editor);
    }
}

FakePlayer::~FakePlayer() {
    if (editor_) DestroyWindow(editor_);
    if (window_) DestroyWindow(window_);
}

namespace {

std::vector<WPARAM> CommandsIn(const std::vector<RecordedMessage>& messages) {
    std::vector<WPARAM> ids;
    for (const RecordedMessage& m : messages) {
        if (m.Message == WM_COMMAND) ids.push_back(m.WParam);
    }
    return ids;
}

}  // namespace

std::vector<WPARAM> FakePlayer::Commands() const { return CommandsIn(messages_); }

std::vector<WPARAM> FakePlayer::EditorCommands() const { return CommandsIn(editorMessages_); }

std::vector<LPARAM> FakePlayer::Queries() const {
    std::vector<LPARAM> ids;
    for (const RecordedMessage& m : messages_) {
        if (m.Message == kPlayerQueryMessage) ids.push_back(m.LParam);
    }
    return ids;
}

std::vector<std::string> FakePlayer::Log() const {
    std::vector<std::string> lines;
    for (const RecordedMessage& m : messages_) {
        if (m.Message == WM_COMMAND) lines.push_back("cmd " + std::to_string(m.WParam));
        if (m.Message == kPlayerQueryMessage) {
            lines.push_back("query " + std::to_string(m.LParam) + " " + std::to_string(static_cast<INT_PTR>(m.WParam)));
        }
        if (m.Message == WM_SETTEXT) lines.push_back("settext " + m.Text);
    }
    return lines;
}

size_t FakePlayer::Count(UINT message) const {
    size_t n = 0;
    for (const RecordedMessage& m : messages_) n += m.Message == message ? 1 : 0;
    return n;
}

void FakePlayer::ClearMessages() {
    messages_.clear();
    editorMessages_.clear();
}

LRESULT FakePlayer::TextResult(const std::vector<std::string>& texts, WPARAM index) {
    if (index >= texts.size()) return 0;
    returnedText_ = texts[index];
    return reinterpret_cast<LRESULT>(returnedText_.c_str());
}

LRESULT FakePlayer::OnQuery(WPARAM argument, LPARAM query) {
    FakePlayerScript& s = script_;
    switch (query) {
        case QueryVersion: return static_cast<LRESULT>(s.Version);
        case QueryPlayState: return s.PlayState;
        case QueryOutputTime: return argument == kOutputPositionMs ? s.PositionMs : s.LengthSeconds;
        case JumpToTime: s.PositionMs = static_cast<LRESULT>(argument); return 0;
        case SetListPosition: s.ListPosition = static_cast<LRESULT>(argument); return 0;
        case SetVolume: s.Volume = static_cast<LRESULT>(argument); return 0;
        case QueryListLength: return s.ListLength.value_or(static_cast<LRESULT>(s.EntryTitles.size()));
        case QueryListPosition: return s.ListPosition;
        case QueryEqData:
            if (argument >= s.EqData.size()) return 0;
            s.EqSelected = argument;
            return s.EqData[argument];
        case SetEqData: s.EqData[s.EqSelected] = static_cast<LRESULT>(argument); return 0;
        case QueryEntryFile: return TextResult(s.EntryFiles, argument);
        case ChangeCurrentFile:
            if (argument && static_cast<size_t>(s.ListPosition) < s.EntryFiles.size()) {
                s.EntryFiles[static_cast<size_t>(s.ListPosition)] = reinterpret_cast<const char*>(argument);
            }
            return 0;
        case QueryEntryTitle: return TextResult(s.EntryTitles, argument);
        case QueryShuffle: return s.Shuffle ? 1 : 0;
        case QueryRepeat: return s.Repeat ? 1 : 0;
        case SetShuffle: s.Shuffle = argument != 0; return 0;
        case SetRepeat: s.Repeat = argument != 0; return 0;
        default: return 0;
    }
}

void FakePlayer::OnCommand(WPARAM id) {
    FakePlayerScript& s = script_;
    switch (id) {
        case CmdPlay: s.PlayState = kPlayStatePlaying; break;
        case CmdPause: s.PlayState = s.PlayState == kPlayStatePlaying ? kPlayStatePaused : kPlayStatePlaying; break;
        case CmdStop: s.PlayState = 0; break;
        default: break;
    }
}

LRESULT CALLBACK FakePlayer::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* params = static_cast<CreateParams*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(params->Player));
        SetPropA(window, "VemoFakeEditor", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(params->IsEditor ? 1 : 0)));
    }
    auto* player = reinterpret_cast<FakePlayer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!player) return DefWindowProcA(window, message, wParam, lParam);
    const bool isEditor = GetPropA(window, "VemoFakeEditor") != nullptr;
    RecordedMessage record{message, wParam, lParam, {}};
    if (message == WM_SETTEXT && lParam) record.Text = reinterpret_cast<const char*>(lParam);
    (isEditor ? player->editorMessages_ : player->messages_).push_back(record);
    if (message == WM_NCDESTROY) {
        RemovePropA(window, "VemoFakeEditor");
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
    if (isEditor) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case kPlayerQueryMessage: return player->OnQuery(wParam, lParam);
        case WM_COMMAND: player->OnCommand(wParam); return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace vemo::test
