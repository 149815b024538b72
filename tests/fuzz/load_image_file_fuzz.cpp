// libFuzzer target for the image file loader. The first input byte picks a
// file length the loader accepts (or none, or the input's own length); the
// rest of the input is the start of the file, the remainder zeros. So the
// FITS header parser, the raw readers and the hot pixel map reader all see
// fuzzed bytes at the lengths that reach them.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/null_host.h"
#include "app/host.h"
#include "app/program_state.h"
#include "camera/camera_models.h"
#include "files/image_loader.h"

namespace {


qv::ProgramState& State() {
  static qv::ProgramState* state = [] {
    auto* s = new qv::ProgramState;
    s->camera.model = *qv::FindCameraModel(1);
    return s;
  }();
  return *state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  qv::ProgramState& state = State();
  state.geometry.binned = 0;
  RecomputeFrameGeometry(state.geometry, state.camera.model);
  const qv::FrameGeometry& g = state.geometry;
  const long long lengths[] = {g.rawFileLength,
                               g.binnedRawFileLength,
                               g.fitsFileLength,
                               g.fitsFileLength + g.fitsPadding,
                               g.binnedFitsFileLength,
                               g.binnedFitsFileLength + g.binnedFitsPadding,
                               2'895'360,
                               2'898'240};
  long long length = static_cast<long long>(size);
  if (size > 0 && data[0] < 8 * 16) length = lengths[data[0] % 8];
  if (size > 0) {
    ++data;
    --size;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length > static_cast<long long>(size) ? length : size));
  std::copy(data, data + size, bytes.begin());
  bytes.resize(static_cast<std::size_t>(length));

  static const std::string path = "/tmp/qelvesk-fuzz-" + std::to_string(::getpid()) + ".img";
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  qv::NullHost host;
  qv::LoadImageFile(state, host, path);
  return 0;
}
