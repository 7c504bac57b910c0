// Where the plug-in's start goes: the load-time set-up step by step, then the set-up
// that needs the player's window (which init runs first), then the rest of init, in a
// fresh process as a player starts it (the start benchmark runs this program many
// times, beside the player's own starts). The steps are the plug-in's own, run in their
// order by the same code the export runs; a window of this program stands in for the
// player and answers every query with 0. Prints one line per step: "NAME MS".
//
//   vemo_start_steps          (Windows; here under Wine on a virtual screen)
#include <windows.h>

#include <cstdio>

#include "plugin/lifecycle.h"
#include "win/module_state.h"

namespace {

double NowMs() {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

HWND MakePlayerWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VemoStartStepsPlayer";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "Player", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

}  // namespace

int main() {
    HWND player = MakePlayerWindow();
    for (const vemo::LoadTimeStep& step : vemo::LoadTimeSteps()) {
        const double from = NowMs();
        step.Run();
        std::printf("%s|%.3f\n", step.Name, NowMs() - from);
    }
    vemo::gPlugin.SetUpDone = true;
    vemo::GeneralPurposePlugin* record = vemo::GetPluginRecord();
    record->PlayerWindow = player;
    vemo::gPlugin.PlayerWindow = player;
    for (const vemo::LoadTimeStep& step : vemo::PlayerSetUpSteps()) {
        const double from = NowMs();
        step.Run();
        std::printf("%s|%.3f\n", step.Name, NowMs() - from);
    }
    vemo::gPlugin.PlayerSetUpDone = true;
    const double from = NowMs();
    record->Init();
    std::printf("init|%.3f\n", NowMs() - from);
    record->Quit();
    DestroyWindow(player);
    return 0;
}
