#pragma once
// The binary settings file: its encoding, reading with the consistency
// checks, and safe writing.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/host.h"
#include "app/paths.h"
#include "app/program_settings.h"

namespace qv {

enum class [[nodiscard]] SettingsStatus : int{Ok = 0, LoadFailed = 2, SaveFailed = 3};

inline constexpr std::string_view kNoSettingsWarning = "Warning!\nNo INI file found, please set defaults...";

// How far reading the file's bytes got.
struct SettingsReadResult {
  enum class Kind { Complete, Short, Inconsistent } kind = Kind::Complete;
  int fieldOffset = -1;  // offset, in the current layout, of the field that was short or failed its check
};

// The whole file image of the settings as they would be written.
std::vector<std::uint8_t> EncodeSettings(const ProgramSettings& settings);

// Reads fields in file order into `settings`; fields read before a short
// read or a failed check keep their new values.
SettingsReadResult DecodeSettings(std::span<const std::uint8_t> bytes, ProgramSettings& settings);

// The run-time values that follow from the stored ones.
void ApplyDerivedSettings(ProgramSettings& settings);
// Pieces of it: the window background colour, the telescope's serial port
// and the guider sensor's frame size.
void ApplyWindowBackground(ProgramSettings& settings);
void ApplyTelescopePort(ProgramSettings& settings);
void ApplyGuiderCameraType(ProgramSettings& settings);

// Sets TZ to "GMT" followed by the hour difference and re-reads it.
void ApplyTimeZone(ProgramSettings& settings);

// The settings file of the data root, and the working autosave folder's
// native path.
std::string SettingsFilePath(const DataPaths& paths);
// The lock file beside it: every program that writes the settings file
// (this one, the INDI driver) holds its lock while it reads, merges and
// writes, so two writers never lose each other's changes.
std::string SettingsLockPath(const DataPaths& paths);

// Reads the file; a file that cannot be read whole changes no setting (a
// value that fails its check is no refusal: the values read up to it are
// taken and the file is rewritten).
SettingsStatus LoadSettings(ProgramSettings& settings, const DataPaths& paths, Host& host);
// Reads the file for a program that shares it and must not change it: only a
// file read whole and passing every check replaces the settings; nothing is
// ever written (LoadFailed otherwise, the settings as they were).
SettingsStatus ReadSettingsFileOnly(ProgramSettings& settings, const DataPaths& paths);
// Writes a temporary file and renames it over the old one, so a failed save
// leaves the previous file as it was. SaveFailed also when another program
// keeps the file's lock too long.
SettingsStatus SaveSettings(ProgramSettings& settings, const DataPaths& paths);
// For a program that shares the file: applies one change to the file as it
// is on disk now (or to `settings` when there is none yet), so whatever the
// other program saved there stays; `settings` take the change too. LoadFailed
// when the file cannot be read whole (it is then left alone), SaveFailed when
// it cannot be written; `settings` are unchanged in both cases.
SettingsStatus SaveSettingsChange(ProgramSettings& settings, const DataPaths& paths,
                                  const std::function<void(ProgramSettings&)>& change);

}  // namespace qv
