// How quickly the plug-in answers the user, in its own process as the player hosts it:
// from a hotkey message to its popup drawn, and from a title change of the player to the
// song popup drawn. Each event is a synchronous message whose handling draws at once;
// GdiFlush makes sure the drawing reached the screen before the clock stops. Prints
// p50, p99 and the maximum over many events; a frame at 60 Hz is 16.7 ms.
//
//   vemo_response_bench [EVENTS] [--rows FILE]   (Windows; here under Wine on a virtual screen)
// --rows appends the two results as rows of the benchmark table (see bench_main.cpp).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "plugin/lifecycle.h"
#include "plugin/plugin_record.h"
#include "settings/hotkey_table.h"
#include "win/module_state.h"
#include "win/player_link.h"

namespace {

// A player that answers the queries the two paths send: a list of titles, playing.
constexpr char kPlayerClass[] = "VemoBenchPlayer";
int gPosition = 0;
const std::vector<std::string> kTitles = {"The Tidewater Quartet - Harbor Lights", "Mira Okonkwo - Paper Lanterns",
                                          "Fennick & Rowe - Northbound"};

LRESULT CALLBACK PlayerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != vemo::kPlayerQueryMessage) return DefWindowProcA(window, message, wParam, lParam);
    switch (lParam) {
        case vemo::QueryPlayState: return vemo::kPlayStatePlaying;
        case vemo::QueryListLength: return static_cast<LRESULT>(kTitles.size());
        case vemo::QueryListPosition: return gPosition;
        case vemo::QueryEntryTitle:
            return reinterpret_cast<LRESULT>(kTitles[static_cast<size_t>(wParam) % kTitles.size()].c_str());
        case vemo::QueryOutputTime: return wParam == vemo::kOutputPositionMs ? 65000 : 250;
        default: return 0;
    }
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Times one kind of event, events times; each call is one event.
template <typename Event>
std::vector<double> Time(int events, Event event) {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    times.reserve(static_cast<size_t>(events));
    for (int i = 0; i < events; ++i) {
        LARGE_INTEGER start{};
        LARGE_INTEGER end{};
        QueryPerformanceCounter(&start);
        event(i);
        GdiFlush();
        QueryPerformanceCounter(&end);
        times.push_back(Milliseconds(start, end, frequency));
        // Let the popup's own timers run between events, as between key presses.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    return times;
}

// A frame at 60 Hz: an answer within it looks immediate.
constexpr double kFrameMs = 16.0;
// Rows name the build they measured: both run here, the shipped one is i686.
constexpr const char* kBuild = sizeof(void*) == 8 ? "x86_64" : "i686";

void Report(const char* name, std::vector<double> times, FILE* rows) {
    std::sort(times.begin(), times.end());
    auto at = [&](double share) { return times[static_cast<size_t>(share * static_cast<double>(times.size() - 1))]; };
    std::printf("%-34s p50 %6.3f ms   p99 %6.3f ms   max %6.3f ms   (%zu events)\n", name, at(0.5), at(0.99),
                times.back(), times.size());
    if (rows) {
        std::fprintf(rows, "4 %s, Wine %s|p50 %.2f ms / p99 %.2f ms|-|-|max %.2f ms over %zu events|p99 < 16 ms|%s\n",
                     name, kBuild, at(0.5), at(0.99), times.back(), times.size(), at(0.99) < kFrameMs ? "yes" : "NO");
    }
}

}  // namespace

int main(int argc, char** argv) {
    int events = 1000;
    FILE* rows = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--rows" && i + 1 < argc) {
            rows = std::fopen(argv[++i], "a");
        } else {
            events = std::max(10, std::atoi(argv[i]));
        }
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlayerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kPlayerClass;
    RegisterClassA(&wc);
    HWND player = CreateWindowExA(0, kPlayerClass, "1. Harbor Lights - Quavix", WS_OVERLAPPEDWINDOW, 16, 16, 400, 200,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    vemo::SetSettingsPathForTests(std::string(temp) + "vemo-response-bench.ini");

    vemo::GeneralPurposePlugin* record = vemo::GetPluginRecord();
    record->PlayerWindow = player;
    record->Instance = vemo::OwnModule();
    record->Init();

    // A switch key: its popup is drawn inside the hotkey's handling.
    const auto shuffle = static_cast<WPARAM>(vemo::HotkeyId::Shuffle);
    Report("hotkey -> popup drawn",
           Time(events, [&](int) { SendMessageA(vemo::gPlugin.MainPopup, WM_HOTKEY, shuffle, 0); }), rows);
    // The player retitles itself: the hook shows the new entry's song popup.
    Report("title change -> song popup drawn", Time(events, [&](int i) {
               gPosition = i % static_cast<int>(kTitles.size());
               SetWindowTextA(player, kTitles[static_cast<size_t>(gPosition)].c_str());
           }),
           rows);
    if (rows) std::fclose(rows);
    record->Quit();
    DestroyWindow(player);
    DeleteFileA((std::string(temp) + "vemo-response-bench.ini").c_str());
    return 0;
}
