#include "support/fake_player.h"

#include "text/code_page.h"
#include "text/unicode.h"
#include "win/player_link.h"

namespace vemo::test {

namespace {

constexpr wchar_t kClassName[] = L"VemoFakePlayer";
constexpr wchar_t kEditorProp[] = L"VemoFakeEditor";

void RegisterFakeClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSW wc{};
    wc.lpfnWndProc = FakePlayer::OwnProc();
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    registered = RegisterClassW(&wc) != 0;
}

// What an older player makes of a name: the system's 8-bit form, "?" for every character
// the code page lacks (no look-alike).
std::string OlderPlayerBytes(const std::wstring& wide) {
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr, 0, "?", nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, bytes.data(), size, "?", nullptr);
    bytes.resize(bytes.find('\0'));
    return bytes;
}

// The short 8.3 form of an existing file's name; the name itself without one.
std::wstring ShortName(const std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(buffer, length) : path;
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
    window_ = CreateWindowExW(0, kClassName, L"1. Nothing - Quavix", WS_OVERLAPPEDWINDOW, 50, 50, 400, 120, nullptr,
                              nullptr, GetModuleHandleW(nullptr), &main);
    if (withPlaylistEditor) {
        CreateParams editor{this, true};
        editor_ = CreateWindowExW(0, kClassName, ToWide(kPlaylistEditorTitle).c_str(), WS_OVERLAPPEDWINDOW, 50, 200,
                                  400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), &editor);
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

LRESULT FakePlayer::TextResult(const std::vector<std::string>& texts, WPARAM index, bool shortName) {
    if (index >= texts.size()) return 0;
    const std::wstring wide = ToWide(texts[index]);
    returnedText_ = OlderPlayerBytes(shortName ? ShortName(wide) : wide);
    return reinterpret_cast<LRESULT>(returnedText_.c_str());
}

LRESULT FakePlayer::WideResult(const std::vector<std::string>& texts, WPARAM index) {
    if (script_.Age != PlayerAge::Current || index >= texts.size()) return 0;
    returnedWide_ = ToWide(texts[index]);
    return reinterpret_cast<LRESULT>(returnedWide_.c_str());
}

LRESULT FakePlayer::FolderResult(bool wide) {
    if (script_.SettingsFolder.empty() || (wide && script_.Age != PlayerAge::Current)) return 0;
    if (wide) return WideResult({script_.SettingsFolder}, 0);
    return TextResult({script_.SettingsFolder}, 0, false);
}

void FakePlayer::ChangeFile(const std::string& path) {
    const size_t position = static_cast<size_t>(script_.ListPosition);
    if (position < script_.EntryFiles.size()) script_.EntryFiles[position] = path;
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
        case QueryEntryFile: return TextResult(s.EntryFiles, argument, s.Age == PlayerAge::OlderShortNames);
        case QueryEntryTitle: return TextResult(s.EntryTitles, argument, false);
        case QueryEntryFileWide: return WideResult(s.EntryFiles, argument);
        case QueryEntryTitleWide: return WideResult(s.EntryTitles, argument);
        case ChangeCurrentFile:
            if (argument) ChangeFile(CodePageToUtf8(reinterpret_cast<const char*>(argument)));
            return 0;
        case ChangeCurrentFileWide:
            if (argument && s.Age == PlayerAge::Current) ChangeFile(FromWide(reinterpret_cast<const wchar_t*>(argument)));
            return 0;
        case QuerySettingsFolder: return FolderResult(false);
        case QuerySettingsFolderWide: return FolderResult(true);
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
        auto* params = static_cast<CreateParams*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(params->Player));
        SetPropW(window, kEditorProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(params->IsEditor ? 1 : 0)));
    }
    auto* player = reinterpret_cast<FakePlayer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!player) return DefWindowProcW(window, message, wParam, lParam);
    const bool isEditor = GetPropW(window, kEditorProp) != nullptr;
    RecordedMessage record{message, wParam, lParam, {}};
    if (message == WM_SETTEXT && lParam) record.Text = FromWide(reinterpret_cast<const wchar_t*>(lParam));
    (isEditor ? player->editorMessages_ : player->messages_).push_back(record);
    if (message == WM_NCDESTROY) {
        RemovePropW(window, kEditorProp);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    if (isEditor) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case kPlayerQueryMessage: return player->OnQuery(wParam, lParam);
        case WM_COMMAND: player->OnCommand(wParam); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace vemo::test
