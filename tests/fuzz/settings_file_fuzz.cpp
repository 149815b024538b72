// libFuzzer target for the settings file reader: the input is the file's
// bytes. A file the reader accepts is written out again and read back, which
// must give the same bytes (what is read is what would be saved).

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "app/program_settings.h"
#include "app/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One settings record across inputs, as the program keeps one; the reader
  // fills it field by field.
  static qv::ProgramSettings* settings = new qv::ProgramSettings;
  const qv::SettingsReadResult read = qv::DecodeSettings(std::span(data, size), *settings);
  if (read.kind != qv::SettingsReadResult::Kind::Complete) return 0;
  const std::vector<std::uint8_t> once = qv::EncodeSettings(*settings);
  qv::ProgramSettings again;
  qv::DecodeSettings(once, again);
  if (qv::EncodeSettings(again) != once) std::abort();
  return 0;
}
