#include "popup/track_watcher.h"

#include <cstdint>
#include <limits>

#include "plugin/plugin_state.h"

namespace vemo {

LRESULT OnPlayerTitleChange(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Counts up and stays at the top rather than wrapping into a short display time.
    if (gSongWatch.TitleChangeCount < std::numeric_limits<int8_t>::max()) ++gSongWatch.TitleChangeCount;
    gSongWatch.ForceSongPopup = false;
    return CallWindowProcA(OldPlayerProc(), window, message, wParam, lParam);
}

}  // namespace vemo
