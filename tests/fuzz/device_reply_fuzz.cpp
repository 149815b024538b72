// libFuzzer target for what the camera and the serial devices send back: the
// first input byte picks the parser, the rest is the reply. Camera: command
// headers, frame windows, cooler and firmware replies, device paths, and the
// frame rebuilds fed a reply of the size they are given. Serial: telescope
// and mount replies and the typed coordinates and directions.

#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "camera/camera_protocol.h"
#include "camera/frame_rebuild.h"
#include "guiding/serial_link.h"
#include "guiding/telescope_commands.h"

namespace {

// Output frames kept across inputs; only their size changes.
std::vector<std::uint16_t>& Frame(std::size_t pixels) {
  static std::vector<std::uint16_t>* frame = new std::vector<std::uint16_t>;
  if (frame->size() < pixels) frame->resize(pixels);
  return *frame;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t pick = data[0];
  const std::span<const std::uint8_t> reply(data + 1, size - 1);
  const std::string_view text(reinterpret_cast<const char*>(reply.data()), reply.size());
  switch (pick % 10) {
    case 0:
      qv::DecodeHeader(reply);
      qv::DecodeFrameWindow(reply);
      break;
    case 1:
      qv::DecodeCoolerTemperature(reply);
      // Only a crash or a read out of bounds is a finding here, whatever the answer.
      static_cast<void>(qv::FirmwareAllowsCooler(qv::DecodeFirmwareVersion(reply), qv::BuiltInCameraModel()));
      break;
    case 2: {
      const qv::VidPidTexts ids = qv::ParseVidPid(text);
      if (ids.pid) qv::CameraTypeForPid(*ids.pid);
      break;
    }
    case 3:
      qv::TelescopeReplyText(reply);
      qv::ReplyText(text);
      break;
    case 4:
      if (const auto dec = qv::ParseDeclination(text)) static_cast<void>(qv::CoordinatesInRange(0, 0, *dec));
      qv::ParseSkyDirection(text);
      break;
    default: {
      // A frame rebuild: the reply's first two bytes give the received
      // frame's size (up to 64 x 64), the rest its pixels, zeros beyond.
      if (reply.size() < 2) return 0;
      const int w = 1 + reply[0] % 64, hgt = 1 + reply[1] % 64;
      std::vector<std::uint8_t> bytes(static_cast<std::size_t>(w) * hgt * 2, 0);
      std::copy_n(reply.begin() + 2, std::min(bytes.size(), reply.size() - 2), bytes.begin());
      const std::size_t outW = static_cast<std::size_t>(w) * 4, outH = static_cast<std::size_t>(hgt) * 4;
      std::uint16_t* out = Frame(outW * outH).data();
      switch (pick % 10) {
        case 5:
          qv::Enlarge4x4(bytes.data(), w, hgt, out, static_cast<int>(outW), static_cast<int>(outH));
          break;
        case 6:
          qv::PlaceWindowCentred(bytes.data(), w, hgt, out, static_cast<int>(outW), static_cast<int>(outH));
          break;
        case 7:
          qv::GuiderBinned(bytes.data(), w, hgt, out);
          break;
        case 8:
          qv::DecodeLe16(bytes.data(), out, static_cast<std::size_t>(w) * hgt);
          qv::ColumnPairCorrection(out, w, hgt);
          break;
        default:
          qv::DecodeLe16(bytes.data(), out, static_cast<std::size_t>(w) * hgt);
          qv::Resample3x3(out, w, hgt, out + static_cast<std::size_t>(w) * hgt, w * 3 / 2 + 1, hgt * 3 / 2 + 1);
          break;
      }
    }
  }
  return 0;
}
