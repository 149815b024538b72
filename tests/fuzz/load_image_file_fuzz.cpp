// libFuzzer target for the image file loader. The first input byte picks a
// file length the loader accepts and whether the rest of the input is the
// start or the end of the file (the raw files' tag is at the end), or, from
// 200 up, that the rest of the input is the whole file. The file is zeros
// wherever the input does not reach. So the FITS header parser, the raw
// readers and the hot pixel map reader all see fuzzed bytes at the lengths
// that reach them.
//
// The program state lives across inputs, as in the program, where one load
// follows another; each input resets only what a load depends on (the
// geometry). The file is one descriptor kept open: each input truncates it,
// writes its bytes and sets the length, so the zeros cost no writing.
//
// The camera is the first model shrunk to a 64 x 48 sensor: the loader takes
// its lengths and frame sizes from the model, so every file kind keeps its
// layout while an accepted load converts a few thousand pixels instead of a
// million and a half, and the fuzzer tries a thousand and more inputs a second.
// The two fixed-length layouts of older files stay full size.

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/null_host.h"
#include "app/program_state.h"
#include "camera/camera_models.h"
#include "files/image_loader.h"

namespace {

struct Harness {
  qv::ProgramState state;
  qv::NullHost host;
  // In memory where the machine has it: truncating and rewriting a file on
  // disk thousands of times a second costs more than the load itself.
  std::string path = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/qelvesk-fuzz-" +
                     std::to_string(::getpid()) + ".img";
  int fd = -1;

  Harness() {
    qv::CameraModel model = *qv::FindCameraModel(1);
    model.sensorWidth = 64;
    model.sensorHeight = 48;
    state.camera.model = model;
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) std::abort();
  }
};

Harness& TheHarness();

// The scratch file goes when the fuzzer exits (it ends a timed run with exit).
void RemoveScratchFile() { ::unlink(TheHarness().path.c_str()); }

Harness& TheHarness() {
  static Harness* harness = [] {
    auto* made = new Harness;
    std::atexit(RemoveScratchFile);
    return made;
  }();
  return *harness;
}

constexpr std::uint8_t kOwnLength = 200;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Harness& h = TheHarness();
  qv::ProgramState& state = h.state;
  state.geometry.binned = 0;
  RecomputeFrameGeometry(state.geometry, state.camera.model);
  const qv::FrameGeometry& g = state.geometry;
  const long long lengths[] = {g.rawFileLength,
                               g.binnedRawFileLength,
                               g.colourRawFileLength,
                               g.fitsFileLength,
                               g.fitsFileLength + g.fitsPadding,
                               g.binnedFitsFileLength,
                               g.binnedFitsFileLength + g.binnedFitsPadding,
                               g.colourFitsFileLength,
                               2'895'360,
                               2'898'240};
  constexpr int kLengths = static_cast<int>(sizeof lengths / sizeof lengths[0]);
  if (size == 0) return 0;
  const std::uint8_t pick = data[0];
  ++data;
  --size;
  long long length = static_cast<long long>(size);
  bool atEnd = false;
  if (pick < kOwnLength) {
    length = lengths[pick % kLengths];
    atEnd = (pick / kLengths) % 2 == 1;
  }
  const std::size_t kept = static_cast<std::size_t>(std::min<long long>(length, static_cast<long long>(size)));
  const long long offset = atEnd ? length - static_cast<long long>(kept) : 0;
  if (::ftruncate(h.fd, 0) != 0 ||
      ::pwrite(h.fd, atEnd ? data + size - kept : data, kept, offset) != static_cast<ssize_t>(kept) ||
      ::ftruncate(h.fd, length) != 0) {
    std::abort();
  }
  // Any answer is fine; only a crash or a read out of bounds is a finding.
  static_cast<void>(qv::LoadImageFile(state, h.host, h.path));
  return 0;
}
