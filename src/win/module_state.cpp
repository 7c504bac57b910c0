#include "win/module_state.h"

#include "text/unicode.h"

namespace vemo {

PluginState gPlugin;
Settings gSettings = DefaultSettings();
PopupState gPopup;
SongWatchState gSongWatch;
TrackRecords gTrack;

namespace {
HINSTANCE gRecordedModule = nullptr;
}  // namespace

namespace {
// The device the wave output is opened on; the format is all zero and the call is not
// checked, so without a device the id stays 0 and the volume keys find nothing to change.
constexpr UINT kWaveOutDevice = 2;
}  // namespace

UINT VolumeDevice() {
    if (gPlugin.WaveOutAsked) return gPlugin.VolumeDeviceId;
    gPlugin.WaveOutAsked = true;
    WAVEFORMATEX format{};
    HWAVEOUT handle = nullptr;
    waveOutOpen(&handle, kWaveOutDevice, &format, 0, 0, WAVE_MAPPED);
    gPlugin.WaveOut = WaveOutHandle(handle);
    UINT id = 0;
    mixerGetID(reinterpret_cast<HMIXEROBJ>(handle), &id, MIXER_OBJECTF_HWAVEOUT);
    gPlugin.VolumeDeviceId = id;
    return id;
}

void CreateDrawingObjects() {
    auto pen = [](int colour) { return CreatePen(PS_SOLID, 0, GetSysColor(colour)); };
    auto brush = [](int colour) { return CreateSolidBrush(GetSysColor(colour)); };
    DrawingSet& d = gPlugin.Drawing;
    d.InfoTextPen.Reset(pen(COLOR_INFOTEXT));
    d.InfoBackgroundPen.Reset(pen(COLOR_INFOBK));
    d.InactiveCaptionPen.Reset(pen(COLOR_INACTIVECAPTION));
    d.ButtonFacePen.Reset(pen(COLOR_BTNFACE));
    d.ButtonHighlightPen.Reset(pen(COLOR_BTNHIGHLIGHT));
    d.InactiveCaptionBrush.Reset(brush(COLOR_INACTIVECAPTION));
    d.InfoBackgroundBrush.Reset(brush(COLOR_INFOBK));
    d.ButtonFaceBrush.Reset(brush(COLOR_BTNFACE));
    d.ButtonShadowBrush.Reset(brush(COLOR_BTNSHADOW));
}

void DeleteDrawingObjects() { gPlugin.Drawing = DrawingSet{}; }

void RecordModuleHandle(HINSTANCE module) { gRecordedModule = module; }

HINSTANCE OwnModule() {
    if (gRecordedModule) return gRecordedModule;
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&OwnModule), &module);
    return module;
}

namespace {
std::string gSettingsPathForTests;
}  // namespace

std::string ProgramFolderSettingsFile() {
    if (!gSettingsPathForTests.empty()) return gSettingsPathForTests;
    // The wide command line: the 8-bit one holds "?" for a player folder outside the
    // code page, where the settings would be neither found nor saved.
    return SettingsPath(PlayerDirectory(FromWide(GetCommandLineW())));
}

std::string CurrentSettingsPath() {
    const std::string& place = gPlugin.SettingsPlace.Path;
    return place.empty() ? ProgramFolderSettingsFile() : place;
}

void SetSettingsPathForTests(const std::string& path) { gSettingsPathForTests = path; }

}  // namespace vemo
