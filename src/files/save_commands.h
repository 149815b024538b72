#pragma once
// The save, delete and reference-selection commands behind the file dialogs,
// and what the dialogs remember between uses.

#include <string>
#include <string_view>

#include "app/clock.h"
#include "app/host.h"
#include "app/program_state.h"
#include "files/files_state.h"

namespace qv {

// Filter lists of the file dialogs ("text|pattern|" pairs).
inline constexpr std::string_view kOpenFilter = "Corvane (~*.)|~*.*|FITS files|*.FIT|All Files|*.*|";
inline constexpr std::string_view kSaveFilter = "Corvane (~*.)|~*.*|FITS files|*.FIT|All Files(*.*)|*.*|";
inline constexpr std::string_view kTiffFilter = "Tiff file (*.TIF)|*.TIF|All Files(*.*)|*.*|";
inline constexpr std::string_view kFitsFilter = "FITS file (*.FIT)|*.FIT|All Files(*.*)|*.*|";

// The filter to preselect after a dialog: 2 for the FITS dialog, else 1 when
// the chosen title holds "~" (a raw file), else 3.
int FilterIndexAfterDialog(std::string_view defaultExtension, std::string_view fileTitle);

// Before the FITS details of a FITS save: clears eightBit and fills an
// incomplete observation date from the computer's date.
void PrepareFitsSave(ProgramState& state, Clock& clock);

// Whether "Save as RGB FITS File..." may go on; shows message 72 when the
// image is not colour converted.
[[nodiscard]] bool CheckRgbFitsSave(ProgramState& state, Host& host);

// The save itself, once a file is chosen. Sets rgbFitsSave for the
// duration of the save, runs the writer and shows the failure messages.
// The 8-bit colour export under auto contrast uses the display's black
// level, as the image is shown. Returns true when the file was written.
[[nodiscard]] bool SaveImageAs(ProgramState& state, Host& host, const std::string& path, SaveMode mode);

// "&Delete File..." after confirmation: removes the file when it can be
// opened. Reports nothing.
void DeleteChosenFile(const std::string& path);

// "Select Dark &Frame..." and "Select Flatfield File...": store the path only.
void SelectDarkFrame(ProgramState& state, const std::string& path);
void SelectFlatField(ProgramState& state, const std::string& path);

}  // namespace qv
