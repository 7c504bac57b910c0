// The stand-in player: a small Win32 program that takes the Quavix player's place for
// a general-purpose plug-in. It loads the plug-ins beside it, answers their commands
// and queries, plays a playlist by the clock (no sound), retitles its main window as
// the player does, and can be driven by a script and record what happens in a log.
// It is a Unicode program, as the player is: its command line, windows and titles are
// wide, and texts are UTF-8 inside (the log and playlists too).
//
//   quavix-standin.exe [--log FILE] [--script FILE] [--timings FILE] [--version-number N]
//                      [--older-player lossy|short] [--settings-folder DIR] [--dpi-unaware]
//                      [FILE|LIST.m3u]...
// --older-player makes it a player that knows only the 8-bit entry queries: it answers
// them with "?" for what its code page lacks, or (short) with a file's short 8.3 name.
// --settings-folder makes it a player that keeps its settings in DIR (made if missing),
// as one installed under Program Files keeps them in the user's profile: it names DIR
// when asked where its settings are, so the plug-ins keep Plugins\Plugin.ini there.
// Without it, or as an older player, it answers 0: the program folder's Plugins.
// --timings appends a line per plug-in loaded, "TOTAL LOAD EXPORT INIT NAME": the time in
// milliseconds from loading its DLL to the return of its init, which the player's start
// waits for, and its three parts (the DLL loaded, the export called, init).
// It declares itself per-monitor DPI-aware, as current players do, and logs first what
// the declaration got, what the process holds and the screen's DPI ("awareness declared
// per-monitor-v2 held per-monitor-v2 dpi 144"); --dpi-unaware leaves it as older players
// were (declared none), for the system to scale.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "desktop_io.h"
#include "dpi_awareness.h"
#include "entry_facts.h"
#include "event_log.h"
#include "player_model.h"
#include "playlist_file.h"
#include "plugin_host.h"
#include "script.h"
#include "text/code_page.h"
#include "text/file_access.h"
#include "text/text.h"
#include "text/unicode.h"

namespace vemo::standin {

namespace {

constexpr wchar_t kMainClass[] = L"QuavixStandinMain";
constexpr wchar_t kEditorClass[] = L"QuavixStandinEditor";
constexpr char kEditorTitle[] = "Quavix Playlist Editor";
constexpr char kPluginFolder[] = "Plugins";
constexpr const char* kPlayerSystemDlls[] = {"shell32.dll", "winmm.dll"};

// Where the windows sit on a 1024x768 screen at 96 DPI: side by side at the top, so
// that the plug-in's popups near the bottom edge stay clear of them in screenshots.
// At a higher DPI they grow alike and the list is narrowed to stay on the screen.
constexpr RECT kMainRect{16, 16, 16 + 480, 16 + 300};
constexpr RECT kEditorRect{512, 16, 512 + 496, 16 + 300};

constexpr UINT_PTR kClockTimer = 1;
constexpr UINT_PTR kScriptTimer = 2;
constexpr UINT kClockPeriodMs = 100;
constexpr UINT kScriptPeriodMs = 20;
constexpr int64_t kScriptStartDelayMs = 500;
// After a keystroke or a click, time for the message it causes to be handled before
// the next step runs.
constexpr int64_t kStepGapMs = 150;

// Private menu ids, above every player command.
constexpr UINT kMenuConfigFirst = 41000;
constexpr UINT kMenuConfigLast = 41099;
constexpr UINT kMenuTrayClick = 41100;
constexpr UINT kMenuShowEditor = 41101;

constexpr UINT kTrayNotify = WM_USER + 1;

constexpr COLORREF kBackground = RGB(28, 32, 40);
constexpr COLORREF kForeground = RGB(226, 230, 236);
constexpr COLORREF kDim = RGB(140, 150, 164);
constexpr COLORREF kAccent = RGB(98, 178, 255);
constexpr COLORREF kTrack = RGB(58, 64, 76);

struct App {
    EventLog log;
    std::unique_ptr<PlayerModel> model;
    std::unique_ptr<PluginHost> host;
    HWND main = nullptr;
    HWND editor = nullptr;
    HWND editorList = nullptr;
    HFONT font = nullptr;
    HFONT bigFont = nullptr;
    UINT dpi = 96;  // the main window's, which the fonts are made for
    uint32_t shownSerial = UINT32_MAX;
    std::vector<Step> steps;
    size_t nextStep = 0;
    int64_t stepDueMs = 0;
    bool stepRunning = false;
    // A hold step in progress: the keys stay down until holdEndMs, repeating.
    const Step* holding = nullptr;
    int64_t holdStartMs = 0;
    int64_t holdRepeatsSent = 0;
    bool closing = false;
    bool retitling = false;  // our own title is being set, not a plug-in's
    bool minimized = false;
};

App gApp;

int64_t Now() { return static_cast<int64_t>(GetTickCount64()); }

void Log(const std::string& line) { gApp.log.Line(line); }

std::string Decimal(intptr_t value) { return NumToStr(false, static_cast<int64_t>(value)); }

// Texts in the log are quoted, so that an empty one still shows; 8-bit answers and
// arguments are in the code page, wide ones in UTF-16, and the log is UTF-8.
std::string Quoted(const std::string& utf8) { return '"' + utf8 + '"'; }
std::string QuotedBytes(intptr_t text) { return Quoted(CodePageToUtf8(reinterpret_cast<const char*>(text))); }
std::string QuotedWide(intptr_t text) { return Quoted(FromWide(reinterpret_cast<const wchar_t*>(text))); }

std::string MinutesSeconds(int64_t ms) {
    int64_t s = ms / 1000;
    return NumToStr(false, s / 60) + ":" + NumToStr(true, s % 60);
}

std::string FullPath(const std::string& path) {
    wchar_t buffer[MAX_PATH * 2];
    DWORD n = GetFullPathNameW(ToWide(path).c_str(), MAX_PATH * 2, buffer, nullptr);
    return n > 0 && n < MAX_PATH * 2 ? FromWide(std::wstring_view(buffer, n)) : path;
}

// What an older player gives for a name outside its code page, when it gives a short one.
std::string ShortPath(const std::string& path) {
    wchar_t buffer[MAX_PATH * 2];
    DWORD n = GetShortPathNameW(ToWide(path).c_str(), buffer, MAX_PATH * 2);
    return n > 0 && n < MAX_PATH * 2 ? FromWide(std::wstring_view(buffer, n)) : path;
}

void RefreshEditor() {
    if (!gApp.editorList) return;
    SendMessageW(gApp.editorList, WM_SETREDRAW, FALSE, 0);
    SendMessageW(gApp.editorList, LB_RESETCONTENT, 0, 0);
    const auto& entries = gApp.model->Entries();
    for (size_t i = 0; i < entries.size(); ++i) {
        std::string line = NumToStr(false, static_cast<int64_t>(i) + 1) + ". " + entries[i].title;
        if (entries[i].lengthMs >= 0) line += "   (" + MinutesSeconds(entries[i].lengthMs) + ")";
        SendMessageW(gApp.editorList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(line).c_str()));
    }
    SendMessageW(gApp.editorList, LB_SETCURSEL, gApp.model->ListPosition(), 0);
    SendMessageW(gApp.editorList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(gApp.editorList, nullptr, TRUE);
}

// The player's signal to plug-ins: its title changes with every track or state change,
// set through SetWindowText so that a procedure hooked on the window sees WM_SETTEXT.
void UpdateTitle() {
    if (!gApp.main || gApp.model->TitleSerial() == gApp.shownSerial) return;
    gApp.shownSerial = gApp.model->TitleSerial();
    std::string title = gApp.model->WindowTitle();
    Log("title " + title);
    gApp.retitling = true;
    SetWindowTextW(gApp.main, ToWide(title).c_str());
    gApp.retitling = false;
    RefreshEditor();
}

void AfterChange() {
    UpdateTitle();
    if (gApp.main) InvalidateRect(gApp.main, nullptr, FALSE);
}

// ---- main window ----

void DrawBar(HDC dc, RECT box, int64_t value, int64_t maximum, COLORREF colour) {
    HBRUSH track = CreateSolidBrush(kTrack);
    FillRect(dc, &box, track);
    DeleteObject(track);
    if (maximum > 0 && value > 0) {
        RECT filled = box;
        filled.right = box.left + static_cast<LONG>((box.right - box.left) * std::min(value, maximum) / maximum);
        HBRUSH fill = CreateSolidBrush(colour);
        FillRect(dc, &filled, fill);
        DeleteObject(fill);
    }
}

void TextLine(HDC dc, int x, int y, const std::string& text, COLORREF colour) {
    SetTextColor(dc, colour);
    const std::wstring wide = ToWide(text);
    TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

void PaintContent(HDC dc, const RECT& client) {
    const PlayerModel& model = *gApp.model;
    HBRUSH background = CreateSolidBrush(kBackground);
    FillRect(dc, &client, background);
    DeleteObject(background);
    SetBkMode(dc, TRANSPARENT);

    auto at = [](int length96) { return Scaled(length96, gApp.dpi); };
    const int left = at(16);
    const int barHeight = at(8);
    int width = client.right - 2 * left;
    HGDIOBJ oldFont = SelectObject(dc, gApp.bigFont);
    const char* state = model.State() == PlayState::Playing  ? "Playing"
                        : model.State() == PlayState::Paused ? "Paused"
                                                             : "Stopped";
    TextLine(dc, left, at(12), state, kAccent);
    const auto& entries = model.Entries();
    size_t pos = model.ListPosition();
    std::string title = pos < entries.size() ? NumToStr(false, static_cast<int64_t>(pos) + 1) + ". " + entries[pos].title
                                             : "(empty playlist)";
    TextLine(dc, left, at(40), title, kForeground);

    SelectObject(dc, gApp.font);
    int64_t length = pos < entries.size() ? entries[pos].lengthMs : -1;
    std::string times = MinutesSeconds(model.PositionMs()) + " / " + (length >= 0 ? MinutesSeconds(length) : "?:??");
    TextLine(dc, left, at(76), times, kDim);
    DrawBar(dc, RECT{left, at(98), left + width, at(98) + barHeight}, model.PositionMs(), length, kAccent);

    TextLine(dc, left, at(118), "Volume " + NumToStr(false, model.AudibleVolume()) + " / 255", kDim);
    DrawBar(dc, RECT{left, at(140), left + width, at(140) + barHeight}, model.AudibleVolume(), kMaxVolume, kForeground);

    auto onOff = [](bool on) { return on ? "on" : "off"; };
    std::string switches = std::string("Shuffle ") + onOff(model.Shuffle()) + "   Repeat " + onOff(model.Repeat()) +
                           "   EQ " + onOff(model.EqValue(kEqOnOffItem) != 0) + "   Stop after current " +
                           onOff(model.StopAfterCurrent());
    TextLine(dc, left, at(160), switches, kDim);
    std::string shown;
    if (model.PreferencesShown()) shown += "[Preferences] ";
    if (model.VisualizationOn()) shown += "[Visualization] ";
    if (model.FileInfoBoxShown()) shown += "[File info] ";
    if (model.JumpToFileShown()) shown += "[Jump to file] ";
    if (model.FadingOut()) shown += "[Fading out] ";
    TextLine(dc, left, at(180), shown, kAccent);

    int y = at(208);
    for (const LoadedPlugin& plugin : gApp.host->Plugins()) {
        std::string line = "Plug-in: " + PCharToStr(plugin.record->Description) + "  (" + plugin.name + ")";
        TextLine(dc, left, y, line, kDim);
        y += at(18);
    }
    SelectObject(dc, oldFont);
}

void OnPaint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    // Drawn off screen first: the clock repaints ten times a second, and a screenshot
    // must never catch a half-drawn window.
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PaintContent(memory, client);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    EndPaint(window, &ps);
}

LRESULT OnCommand(UINT id) {
    if (id >= kMenuConfigFirst && id <= kMenuConfigLast) {
        gApp.host->Config(id - kMenuConfigFirst);
        return 0;
    }
    if (id == kMenuTrayClick) {
        // What the player's own notification icon sends when it is clicked.
        SendMessageW(gApp.main, kTrayNotify, 0, WM_LBUTTONUP);
        return 0;
    }
    if (id == kMenuShowEditor) {
        ShowWindow(gApp.editor, SW_SHOWNOACTIVATE);
        return 0;
    }
    Log("cmd " + NumToStr(false, id));
    if (id == cmd::kExit) {
        // Posted: a plug-in may send this from inside one of its own window procedures,
        // and the quit sequence must not run underneath it.
        PostMessageW(gApp.main, WM_CLOSE, 0, 0);
        return 0;
    }
    gApp.model->Command(static_cast<int>(id), Now());
    AfterChange();
    return 0;
}

LRESULT OnQuery(int id, WPARAM argument) {
    intptr_t result = gApp.model->Query(id, argument, Now());
    const bool changeFile = id == query::kChangeCurrentFile || id == query::kChangeCurrentFileWide;
    std::string argText = Decimal(static_cast<intptr_t>(argument));
    if (id == query::kChangeCurrentFile && argument != 0) argText = QuotedBytes(static_cast<intptr_t>(argument));
    if (id == query::kChangeCurrentFileWide && argument != 0) argText = QuotedWide(static_cast<intptr_t>(argument));
    std::string resultText = Decimal(result);
    const bool bytes = id == query::kEntryFile || id == query::kEntryTitle || id == query::kSettingsFolder;
    const bool wide = id == query::kEntryFileWide || id == query::kEntryTitleWide || id == query::kSettingsFolderWide;
    if (bytes && result != 0) resultText = QuotedBytes(result);
    if (wide && result != 0) resultText = QuotedWide(result);
    Log("query " + NumToStr(false, id) + " " + argText + " -> " + resultText);
    if (changeFile) RefreshEditor();
    AfterChange();
    return result;
}

// A plug-in may set the title itself (the stopped player's form, after moving the list
// position); the log shows it, and the window takes it as the player's would.
LRESULT OnSetText(HWND window, WPARAM wParam, LPARAM lParam) {
    if (!gApp.retitling) Log("settext " + FromWide(reinterpret_cast<const wchar_t*>(lParam)));
    return DefWindowProcW(window, WM_SETTEXT, wParam, lParam);
}

// Minimizing and restoring leave no other trace a test could read.
void OnSize(WPARAM kind) {
    const bool minimized = kind == SIZE_MINIMIZED;
    if (minimized == gApp.minimized) return;
    gApp.minimized = minimized;
    Log(minimized ? "window minimized" : "window restored");
}

void RunScriptStep();

void OnTimer(UINT_PTR id) {
    if (id == kClockTimer) {
        gApp.model->Tick(Now());
        AfterChange();
    } else if (id == kScriptTimer) {
        RunScriptStep();
    }
}

void OnClose() {
    if (gApp.closing) return;
    gApp.closing = true;
    KillTimer(gApp.main, kClockTimer);
    KillTimer(gApp.main, kScriptTimer);
    gApp.host->QuitAll();
    DestroyWindow(gApp.editor);
    DestroyWindow(gApp.main);
}

HFONT MakeFont(int height, int weight) {
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
}

// The fonts of the main window and the list, made for dpi; the old ones go once the
// list holds the new one (the main window selects them only while it paints).
void UseDpi(UINT dpi) {
    HFONT oldFont = gApp.font;
    HFONT oldBig = gApp.bigFont;
    gApp.dpi = dpi;
    gApp.font = MakeFont(Scaled(-13, dpi), FW_NORMAL);
    gApp.bigFont = MakeFont(Scaled(-18, dpi), FW_BOLD);
    if (gApp.editorList) SendMessageW(gApp.editorList, WM_SETFONT, reinterpret_cast<WPARAM>(gApp.font), TRUE);
    if (oldFont) DeleteObject(oldFont);
    if (oldBig) DeleteObject(oldBig);
    if (gApp.main) InvalidateRect(gApp.main, nullptr, FALSE);
}

// Moved to a screen of another DPI, or the setting changed: the system proposes the
// window's new place and size, and the main window's text follows.
LRESULT OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    const RECT* proposed = reinterpret_cast<const RECT*>(lParam);
    if (window == gApp.main) UseDpi(HIWORD(wParam));
    SetWindowPos(window, nullptr, proposed->left, proposed->top, proposed->right - proposed->left,
                 proposed->bottom - proposed->top, SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: return OnCommand(LOWORD(wParam));
    case WM_USER: return OnQuery(static_cast<int>(lParam), wParam);
    case kTrayNotify: Log("tray-notify " + Decimal(lParam)); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_SETTEXT: return OnSetText(window, wParam, lParam);
    case WM_SIZE: OnSize(wParam); return 0;
    case WM_PAINT: OnPaint(window); return 0;
    case WM_DPICHANGED: return OnDpiChanged(window, wParam, lParam);
    case WM_ERASEBKGND: return TRUE;  // PaintContent covers everything
    case WM_CLOSE: OnClose(); return 0;
    case WM_DESTROY: gApp.main = nullptr; PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

// ---- playlist editor ----

void OnEditorCommand(UINT id) {
    if (id != cmd::kRemoveDeadFiles) return;
    Log("cmd " + NumToStr(false, id));
    gApp.model->RemoveDeadFiles([](const std::string& path) { return FileExists(path); });
    RefreshEditor();
    AfterChange();
}

LRESULT CALLBACK EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam == 0) OnEditorCommand(LOWORD(wParam));
        return 0;
    case WM_SIZE:
        if (gApp.editorList) MoveWindow(gApp.editorList, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_CLOSE: ShowWindow(window, SW_HIDE); return 0;  // the player keeps its editor
    case WM_DPICHANGED: return OnDpiChanged(window, wParam, lParam);
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

// ---- script ----

void RunProgram(const Step& step) {
    std::wstring commandLine = ToWide(step.argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    DWORD exitCode = 0;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        Log("step " + step.text + " -> cannot start (error " + NumToStr(false, GetLastError()) + ")");
        return;
    }
    // The player keeps answering its plug-ins while the program runs.
    bool quitSeen = false;
    int quitCode = 0;
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quitSeen = true;
                quitCode = static_cast<int>(msg.wParam);
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    Log("step " + step.text + " -> " + NumToStr(false, exitCode));
    if (quitSeen) PostQuitMessage(quitCode);
}

// A text on one log line: line breaks become " | ", tabs blanks.
std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\r') line += " | ";
        else if (c != '\n') line += c == '\t' ? ' ' : c;
    }
    return line;
}

std::string WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return FromWide(text);
}

std::string ClassOf(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return FromWide(name);
}

BOOL CALLBACK LogControl(HWND control, LPARAM) {
    const std::string text = WindowText(control);
    if (!text.empty()) Log("  control " + ClassOf(control) + " \"" + OneLine(text) + "\"");
    return TRUE;
}

BOOL CALLBACK LogVisibleWindow(HWND window, LPARAM) {
    if (!IsWindowVisible(window)) return TRUE;
    RECT r{};
    GetWindowRect(window, &r);
    Log("window " + ClassOf(window) + " " + Decimal(r.right - r.left) + "x" + Decimal(r.bottom - r.top) + " \"" +
        OneLine(WindowText(window)) + "\"");
    EnumChildWindows(window, LogControl, 0);
    return TRUE;
}

// What is on the screen of this thread, plug-in windows included: each visible window
// with its size, then the text of each of its controls.
void LogWindows() { EnumThreadWindows(GetCurrentThreadId(), LogVisibleWindow, 0); }

// Sends the repeats due by now; at the end lets the keys go. True while still held.
bool ContinueHold() {
    const Step& step = *gApp.holding;
    const int64_t held = Now() - gApp.holdStartMs;
    if (held < step.number) {
        for (const int64_t due = HoldRepeatsDue(held); gApp.holdRepeatsSent < due; ++gApp.holdRepeatsSent) {
            SendKeyRepeat(step.keys);
        }
        return true;
    }
    SendKeysUp(step.keys);
    Log("step " + step.text + " -> " + NumToStr(false, gApp.holdRepeatsSent) + " repeats");
    gApp.holding = nullptr;
    gApp.stepDueMs = Now() + kStepGapMs;
    return false;
}

void RunScriptStep() {
    if (gApp.stepRunning || gApp.closing) return;
    if (gApp.holding && ContinueHold()) return;
    if (Now() < gApp.stepDueMs) return;
    if (gApp.nextStep >= gApp.steps.size()) {
        KillTimer(gApp.main, kScriptTimer);
        return;
    }
    gApp.stepRunning = true;
    const Step& step = gApp.steps[gApp.nextStep++];
    gApp.stepDueMs = Now() + kStepGapMs;
    switch (step.kind) {
    case StepKind::Keys:
        Log("step " + step.text);
        if (!SendKeyCombo(step.keys)) Log("step " + step.text + " -> not sent");
        break;
    case StepKind::Hold:
        if (!SendKeysDown(step.keys)) {
            Log("step " + step.text + " -> not sent");
            break;
        }
        gApp.holding = &step;
        gApp.holdStartMs = Now();
        gApp.holdRepeatsSent = 0;
        break;
    case StepKind::Wait:
        gApp.stepDueMs = Now() + step.number;
        break;
    case StepKind::Shot:
        // Pending paints first, so the picture shows the present state.
        if (gApp.main) UpdateWindow(gApp.main);
        if (gApp.editor) UpdateWindow(gApp.editor);
        GdiFlush();
        Log("step " + step.text + (SaveScreenshot(step.argument) ? "" : " -> failed"));
        break;
    case StepKind::Click:
        Log("step " + step.text);
        SendClick(step.x, step.y, step.button);
        break;
    case StepKind::Cmd:
        Log("step " + step.text);
        SendMessageW(gApp.main, WM_COMMAND, static_cast<WPARAM>(step.number), 0);
        break;
    case StepKind::Config:
        Log("step " + step.text);
        gApp.host->Config(0);
        break;
    case StepKind::Tray:
        Log("step " + step.text);
        SendMessageW(gApp.main, WM_COMMAND, kMenuTrayClick, 0);
        break;
    case StepKind::Run:
        RunProgram(step);
        break;
    case StepKind::Windows:
        Log("step " + step.text);
        LogWindows();
        break;
    case StepKind::Quit:
        Log("step " + step.text);
        PostMessageW(gApp.main, WM_CLOSE, 0, 0);
        break;
    }
    gApp.stepRunning = false;
}

// ---- start-up ----

struct Options {
    std::string logPath;
    std::string scriptPath;
    std::string timingsPath;
    int version = kDefaultVersion;
    TextAnswers answers = TextAnswers::Current;
    std::string settingsFolder;
    bool dpiUnaware = false;
    std::vector<std::string> files;
};

bool ParseOptions(const std::vector<std::string>& argv, Options& options) {
    const size_t argc = argv.size();
    for (size_t i = 1; i < argc; ++i) {
        const std::string& arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--log" && hasValue) options.logPath = argv[++i];
        else if (arg == "--script" && hasValue) options.scriptPath = argv[++i];
        else if (arg == "--timings" && hasValue) options.timingsPath = argv[++i];
        else if (arg == "--version-number" && hasValue) options.version = StrToIntVal(argv[++i].c_str());
        else if (arg == "--older-player" && hasValue) {
            const std::string& form = argv[++i];
            if (form == "lossy") options.answers = TextAnswers::OlderLossy;
            else if (form == "short") options.answers = TextAnswers::OlderShortNames;
            else return false;
        }
        else if (arg == "--settings-folder" && hasValue) options.settingsFolder = argv[++i];
        else if (arg == "--dpi-unaware") options.dpiUnaware = true;
        else if (arg.rfind("--", 0) == 0) return false;
        else options.files.push_back(arg);
    }
    return true;
}

bool LoadScript(const std::string& path) {
    File file = File::OpenRead(path, Share::Read);
    int64_t size = file.Size();
    if (!file || size < 0) {
        std::fprintf(stderr, "standin: cannot read script %s\n", path.c_str());
        return false;
    }
    std::string text(static_cast<size_t>(size), '\0');
    if (file.Read(text.data(), text.size()) != size) return false;
    std::string error;
    if (!ParseScript(text, gApp.steps, error)) {
        std::fprintf(stderr, "standin: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

// Written after every plug-in's init, so that the file's own cost is not in the times.
void WriteStartTimes(const std::string& path) {
    std::FILE* file = _wfopen(ToWide(path).c_str(), L"a");
    if (file == nullptr) {
        std::fprintf(stderr, "standin: cannot open timings %s\n", path.c_str());
        return;
    }
    for (const LoadedPlugin& plugin : gApp.host->Plugins()) {
        const StartTimes& start = plugin.start;
        std::fprintf(file, "%.3f %.3f %.3f %.3f %s\n", start.TotalMs(), start.loadMs, start.exportMs, start.initMs,
                     plugin.name.c_str());
    }
    std::fclose(file);
}

HMENU BuildMenu() {
    HMENU bar = CreateMenu();
    HMENU play = CreatePopupMenu();
    struct Item {
        UINT id;
        const char* text;
    };
    const Item playItems[] = {
        {cmd::kPrevious, "&Previous"}, {cmd::kPlay, "P&lay"}, {cmd::kPause, "P&ause"}, {cmd::kStop, "&Stop"},
        {cmd::kNext, "&Next"}, {0, nullptr}, {cmd::kRewind5s, "Rewind 5 s"}, {cmd::kForward5s, "Forward 5 s"},
        {0, nullptr}, {cmd::kStopFadeout, "Stop with &fade-out"}, {cmd::kStopAfterCurrent, "Stop &after current"},
        {0, nullptr}, {cmd::kExit, "E&xit"},
    };
    for (const Item& item : playItems) {
        if (item.text) AppendMenuA(play, MF_STRING, item.id, item.text);  // ASCII
        else AppendMenuA(play, MF_SEPARATOR, 0, nullptr);
    }
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(play), "&Play");

    HMENU plugins = CreatePopupMenu();
    const auto& loaded = gApp.host->Plugins();
    for (size_t i = 0; i < loaded.size() && kMenuConfigFirst + i <= kMenuConfigLast; ++i) {
        std::string text = "&Configure " + loaded[i].name + (i == 0 ? "\tCtrl+P" : "");
        AppendMenuW(plugins, MF_STRING, kMenuConfigFirst + i, ToWide(text).c_str());
    }
    if (loaded.empty()) AppendMenuA(plugins, MF_STRING | MF_GRAYED, 0, "(none loaded)");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(plugins), "Plug-&ins");

    HMENU view = CreatePopupMenu();
    AppendMenuA(view, MF_STRING, kMenuShowEditor, "Playlist &editor");
    AppendMenuA(view, MF_STRING, kMenuTrayClick, "&Tray icon click");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "&View");
    return bar;
}

RECT ScaledRect(const RECT& rect96) {
    return {Scaled(rect96.left, gApp.dpi), Scaled(rect96.top, gApp.dpi), Scaled(rect96.right, gApp.dpi),
            Scaled(rect96.bottom, gApp.dpi)};
}

bool CreateWindows(HINSTANCE instance) {
    WNDCLASSW main{};
    main.lpfnWndProc = MainProc;
    main.hInstance = instance;
    main.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    main.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    main.lpszClassName = kMainClass;
    WNDCLASSW editor = main;
    editor.lpfnWndProc = EditorProc;
    editor.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    editor.lpszClassName = kEditorClass;
    if (!RegisterClassW(&main) || !RegisterClassW(&editor)) return false;

    const RECT mainRect = ScaledRect(kMainRect);
    RECT editorRect = ScaledRect(kEditorRect);
    const LONG screenRight = GetSystemMetrics(SM_CXSCREEN) - Scaled(16, gApp.dpi);
    editorRect.right = std::max<LONG>(editorRect.left + Scaled(120, gApp.dpi), std::min(editorRect.right, screenRight));
    gApp.main = CreateWindowExW(0, kMainClass, ToWide(kPlayerName).c_str(), WS_OVERLAPPEDWINDOW, mainRect.left,
                                mainRect.top, mainRect.right - mainRect.left, mainRect.bottom - mainRect.top,
                                nullptr, nullptr, instance, nullptr);
    gApp.editor = CreateWindowExW(WS_EX_TOOLWINDOW, kEditorClass, ToWide(kEditorTitle).c_str(), WS_OVERLAPPEDWINDOW,
                                  editorRect.left, editorRect.top, editorRect.right - editorRect.left,
                                  editorRect.bottom - editorRect.top, nullptr, nullptr, instance, nullptr);
    if (!gApp.main || !gApp.editor) return false;
    gApp.editorList = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                                      0, 0, 10, 10, gApp.editor, nullptr, instance, nullptr);
    SendMessageW(gApp.editorList, WM_SETFONT, reinterpret_cast<WPARAM>(gApp.font), FALSE);
    RECT client;
    GetClientRect(gApp.editor, &client);
    MoveWindow(gApp.editorList, 0, 0, client.right, client.bottom, FALSE);
    return true;
}

int Run(HINSTANCE instance, const std::vector<std::string>& argv) {
    Options options;
    if (!ParseOptions(argv, options)) {
        std::fprintf(stderr,
                     "usage: quavix-standin [--log FILE] [--script FILE] [--timings FILE] [--version-number N] "
                     "[--older-player lossy|short] [--settings-folder DIR] [--dpi-unaware] [FILE|LIST.m3u]...\n");
        return 2;
    }
    if (!options.logPath.empty() && !gApp.log.Open(options.logPath)) {
        std::fprintf(stderr, "standin: cannot open log %s\n", options.logPath.c_str());
        return 2;
    }
    if (!options.scriptPath.empty() && !LoadScript(options.scriptPath)) return 2;
    // Before the first window: a window keeps the awareness it was made with.
    const Awareness declared = options.dpiUnaware ? Awareness::NotAsked : DeclareDpiAware();
    Log(std::string("awareness declared ") + AwarenessName(declared) + " held " + AwarenessName(HeldAwareness()) +
        " dpi " + NumToStr(false, ScreenDpi()));

    gApp.model = std::make_unique<PlayerModel>(ReadEntryFacts, options.version);
    gApp.model->AnswerTexts(options.answers, ShortPath);
    if (!options.settingsFolder.empty()) {
        // Made as a player makes its own settings folder; the plug-ins' files go inside.
        const std::string folder = FullPath(options.settingsFolder);
        CreateDirectoryW(ToWide(folder).c_str(), nullptr);
        gApp.model->KeepSettingsIn(folder);
        Log("settings folder " + folder);
    }
    gApp.host = std::make_unique<PluginHost>(Log);
    for (const std::string& file : options.files) {
        if (IsPlaylistName(file)) {
            for (const std::string& path : ReadM3U(FullPath(file))) gApp.model->Add(FullPath(path));
        } else {
            gApp.model->Add(FullPath(file));
        }
    }

    UseDpi(ScreenDpi());
    if (!CreateWindows(instance)) return 1;
    // The screen the window landed on may have another DPI than the main one.
    if (WindowDpi(gApp.main) != gApp.dpi) UseDpi(WindowDpi(gApp.main));
    ShowWindow(gApp.editor, SW_SHOWNOACTIVATE);
    ShowWindow(gApp.main, SW_SHOW);
    UpdateTitle();
    RefreshEditor();
    UpdateWindow(gApp.main);

    // A player has the shell (its own tray icon, dropped files) and the sound system
    // loaded before its plug-ins; their load is not a plug-in's to pay.
    for (const char* system : kPlayerSystemDlls) LoadLibraryA(system);
    gApp.host->LoadAll(FolderOf(ProgramPath()) + "\\" + kPluginFolder, gApp.main);
    if (!options.timingsPath.empty()) WriteStartTimes(options.timingsPath);
    SetMenu(gApp.main, BuildMenu());
    AfterChange();

    SetTimer(gApp.main, kClockTimer, kClockPeriodMs, nullptr);
    if (!gApp.steps.empty()) {
        gApp.stepDueMs = Now() + kScriptStartDelayMs;
        SetTimer(gApp.main, kScriptTimer, kScriptPeriodMs, nullptr);
    }

    ACCEL configKey{FCONTROL | FVIRTKEY, 'P', static_cast<WORD>(kMenuConfigFirst)};
    HACCEL accelerators = CreateAcceleratorTableW(&configKey, 1);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (gApp.main && TranslateAcceleratorW(gApp.main, accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DestroyAcceleratorTable(accelerators);

    gApp.host->QuitAll();  // when the loop ended some other way than through WM_CLOSE
    gApp.host->UnloadAll();
    DeleteObject(gApp.font);
    DeleteObject(gApp.bigFont);
    Log("exit");
    return 0;
}

}  // namespace

}  // namespace vemo::standin

// The wide command line, so that a playlist or a folder named in any script arrives whole.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int argc = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> argv;
    for (int i = 0; wide && i < argc; ++i) argv.push_back(vemo::FromWide(wide[i]));
    LocalFree(wide);
    return vemo::standin::Run(instance, argv);
}
