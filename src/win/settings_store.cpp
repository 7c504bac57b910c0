#include "win/settings_store.h"

#include "win/module_state.h"
#include "win/outside_effects.h"
#include "win/player_link.h"

namespace vemo {

namespace {

constexpr char kUnsavedCaption[] = "VEMO plug-in";
constexpr char kNotWritten[] = "The plug-in's settings could not be saved in";
constexpr char kNotRead[] = "The plug-in's settings were not saved: this file could not be read, and is left as it was";
constexpr char kWorksUntilQuit[] = "The change works until the player closes.";
constexpr char kLostAtQuit[] = "Options changed since the player started are lost.";
constexpr char kWhatToDo[] =
    "To keep your settings, let your account read and write this file and its folder, or close the program that "
    "holds the file open. They are saved at every hotkey change and when the player closes; this is not told "
    "again until the player starts again.";

}  // namespace

SettingsStart LoadSettings() {
    SettingsPlaceState& place = gPlugin.SettingsPlace;
    place.Path = PlayerSettingsFile();
    gSettings = DefaultSettings();
    const SettingsStart start = ReadSettingsOrCarryOver(place.Path, ProgramFolderSettingsFile(), gSettings);
    if (start.Status == SettingsStatus::Unreadable) place.ReadError = LastFileError();
    place.Read = true;
    place.FirstStart = start.FirstStart;
    return start;
}

SettingsSave SaveSettings() {
    SettingsSave save;
    save.Path = CurrentSettingsPath();
    save.Status = WriteSettings(save.Path, gSettings);
    save.Error = gSettings.KeepExistingFile ? gPlugin.SettingsPlace.ReadError : LastFileError();
    return save;
}

void TellOfUnsavedSettings(HWND owner, const SettingsSave& save, UnsavedLoss loss) {
    if (!save.Failed() || gPlugin.SettingsPlace.FailureTold) return;
    gPlugin.SettingsPlace.FailureTold = true;
    const char* what = save.Status == SettingsStatus::WriteFailed ? kNotWritten : kNotRead;
    const char* meaning = loss == UnsavedLoss::UntilQuit ? kWorksUntilQuit : kLostAtQuit;
    const std::string text = std::string(what) + ":\r\n" + save.Path + "\r\n\r\n" + FileErrorText(save.Error) +
                             "\r\n\r\n" + meaning + "\r\n\r\n" + kWhatToDo;
    AskUser(owner, text.c_str(), kUnsavedCaption, MB_OK | MB_ICONERROR | MB_TOPMOST);
}

}  // namespace vemo
