#include "files/save_commands.h"

#include <cstdio>
#include <filesystem>

#include "app/messages.h"
#include "colour/colour_export.h"
#include "files/file_io.h"
#include "files/fits_file.h"
#include "files/raw_file.h"
#include "files/tiff_file.h"

namespace qv {

namespace {

// Sets the RGB FITS flag for the duration of a save; the other modes are
// told apart by the mode itself.
class RgbFitsSaveFlag {
 public:
  RgbFitsSaveFlag(FilesState& files, SaveMode mode) : files_(files) { files_.rgbFitsSave = mode == SaveMode::RgbFits; }
  ~RgbFitsSaveFlag() { files_.rgbFitsSave = 0; }
  RgbFitsSaveFlag(const RgbFitsSaveFlag&) = delete;
  RgbFitsSaveFlag& operator=(const RgbFitsSaveFlag&) = delete;

 private:
  FilesState& files_;
};

}  // namespace

int FilterIndexAfterDialog(std::string_view defaultExtension, std::string_view fileTitle) {
  if (defaultExtension == "FIT") return 2;
  return fileTitle.find('~') != std::string_view::npos ? 1 : 3;
}

void PrepareFitsSave(ProgramState& state, Clock& clock) {
  FitsHeaderInfo& info = state.settings.fits;
  info.eightBit = 0;
  if (info.dateObs.size() < 10) {
    const std::time_t now = clock.now();
    std::tm local{};
    ::localtime_r(&now, &local);
    char date[32];
    std::snprintf(date, sizeof date, "20%02d-%02d-%02d", local.tm_year % 100, local.tm_mon + 1, local.tm_mday);
    info.dateObs = date;
  }
}

bool CheckRgbFitsSave(ProgramState& state, Host& host) {
  state.settings.fits.eightBit = 0;
  state.files.rgbFitsSave = 0;
  if (state.images.colourConverted) return true;
  ShowMessage(host, 72);
  return false;
}

bool SaveImageAs(ProgramState& state, Host& host, const std::string& path, SaveMode mode) {
  ResetBufferPointers(state.images);
  state.files.imageTitle = std::filesystem::path(path).filename().string();
  RgbFitsSaveFlag flag(state.files, mode);
  switch (mode) {
    case SaveMode::Tiff: {
      WaitCursor wait(host);
      const bool sixteenBit = state.settings.tiff16Bit;
      std::uint8_t* exportBytes = state.images.buffers.saveImage.data();
      if (state.images.colourConverted && sixteenBit) ExportAllColourPlanes(state);
      if (state.images.colourConverted) ExportAllColourBytes(state, exportBytes);
      if (WriteTiffFile(state, path, state.images.workImage, sixteenBit, exportBytes) != TiffResult::Ok) {
        ShowMessage(host, 29);
        return false;
      }
      return true;
    }
    case SaveMode::Fits:
    case SaveMode::RgbFits: {
      WaitCursor wait(host);
      if (mode == SaveMode::RgbFits) ExportAllColourPlanes(state);
      if (WriteFitsFile(state, host, path, state.images.workImage) != FitsWriteResult::Ok) {
        ShowMessage(host, 29);
        return false;
      }
      return true;
    }
    case SaveMode::Flat:
      return WriteFlatFile(state, host, path) == RawResult::Ok;
    case SaveMode::Raw:
      return WriteRawFile(state, host, path) == RawResult::Ok;
  }
  return false;
}

void DeleteChosenFile(const std::string& path) {
  if (OpenForReading(path).valid()) std::remove(path.c_str());
}

void SelectDarkFrame(ProgramState& state, const std::string& path) { state.files.darkFramePath = path; }
void SelectFlatField(ProgramState& state, const std::string& path) { state.files.flatFieldPath = path; }

}  // namespace qv
