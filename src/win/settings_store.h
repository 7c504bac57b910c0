// Where the settings live for this run and the one way they are read and saved: the
// place is asked of the player at init, the file is read there (or carried over once
// from the program folder), and it is written at every hotkey change and at quit. A
// save that fails is told once a run, not at every change or every quit.
#pragma once

#include <windows.h>

#include <string>

#include "settings/settings_file.h"

namespace vemo {

// Asks the player where its settings are and reads ours into gSettings (from the defaults).
SettingsStart LoadSettings();

struct SettingsSave {
    SettingsStatus Status = SettingsStatus::Ok;
    int Error = 0;  // the system's reason when it failed
    std::string Path;
    bool Failed() const { return Status == SettingsStatus::WriteFailed || Status == SettingsStatus::Unreadable; }
};
// Writes gSettings to this run's place.
SettingsSave SaveSettings();

// What a failed save means to the user, said after the reason.
enum class UnsavedLoss : uint8_t {
    UntilQuit,  // the change works while the player runs
    AtQuit,     // options changed since the start are lost
};
// A failed save in a box with the file, the reason and what to do; only the first one of
// a run is told. Nothing for a save that did not fail.
void TellOfUnsavedSettings(HWND owner, const SettingsSave& save, UnsavedLoss loss);

}  // namespace vemo
