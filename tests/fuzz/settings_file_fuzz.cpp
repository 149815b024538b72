// libFuzzer target for the settings file reader: the input is the file's
// bytes. A file the reader accepts is saved; what the program saved must read
// back and save again to the same bytes. (A damaged text card, bytes past a
// text's end for instance, may change at the first save, never after.)

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
  const std::vector<std::uint8_t> saved = qv::EncodeSettings(again);
  qv::ProgramSettings third;
  qv::DecodeSettings(saved, third);
  if (qv::EncodeSettings(third) != saved) std::abort();
  return 0;
}
