#include "camera/camera_protocol.h"

#include <gtest/gtest.h>

#include <vector>

#include "camera/frame_rebuild.h"
#include "camera/usb_trace.h"

namespace qv {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Sent(const CommandBlock& block, std::size_t n) { return Bytes(block.begin(), block.begin() + n); }

TEST(CameraProtocol, ReadoutPicksDelayedOrImmediateByExposure) {
  CommandBlock block;
  block.fill(0xEE);
  const FrameWindow full{0, 0, 1392, 1040, 1, 1};
  // 1000 ms: the camera times it; 0x03E8 in bytes 18 and 19, 22 bytes sent.
  ASSERT_EQ(BuildMainReadout(block, full, 1000), 22u);
  EXPECT_EQ(Sent(block, 22),
            (Bytes{0x40, 2, 3, 0, 0, 0, 14, 0, 0, 0, 0, 0, 0x70, 0x05, 0x10, 0x04, 1, 1, 0xE8, 0x03, 0, 0}));
  EXPECT_EQ(block[22], 0);  // the first 24 bytes are cleared
  EXPECT_EQ(block[24], 0xEE);
  // 1001 ms: timed by the caller; immediate read-out of 18 bytes.
  block.fill(0xEE);
  ASSERT_EQ(BuildMainReadout(block, full, 1001), 18u);
  EXPECT_EQ(Sent(block, 18), (Bytes{0x40, 3, 3, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0x70, 0x05, 0x10, 0x04, 1, 1}));
  EXPECT_EQ(block[18], 0);
  EXPECT_EQ(block[19], 0);
}

TEST(CameraProtocol, GuiderReadoutCarriesItsExposureUnsent) {
  CommandBlock block{};
  ASSERT_EQ(BuildGuiderReadout(block, {0, 0, 500, 290, 2, 2}, 0x1234), 18u);
  EXPECT_EQ(Sent(block, 18), (Bytes{0x40, 3, 3, 0, 1, 0, 10, 0, 0, 0, 0, 0, 0xF4, 0x01, 0x22, 0x01, 2, 2}));
  EXPECT_EQ(block[18], 0x34);
  EXPECT_EQ(block[19], 0x12);
}

TEST(CameraProtocol, ShortCommands) {
  CommandBlock block;
  block.fill(0xEE);
  ASSERT_EQ(BuildClear(block, 8), 8u);
  EXPECT_EQ(Sent(block, 8), (Bytes{0x40, 1, 8, 0, 0, 0, 0, 0}));
  EXPECT_EQ(block[8], 0xEE);  // a clear resets only its 8 bytes
  ASSERT_EQ(BuildGuideOutputs(block, 4), 8u);
  EXPECT_EQ(Sent(block, 8), (Bytes{0x40, 9, 4, 0, 0, 0, 0, 0}));
  ASSERT_EQ(BuildFirmwareRead(block), 8u);
  EXPECT_EQ(Sent(block, 8), (Bytes{0x40, 255, 0, 0, 0, 0, 0, 0}));
  ASSERT_EQ(BuildReadCooler(block), 8u);
  EXPECT_EQ(Sent(block, 8), (Bytes{0x40, 31, 0, 0, 0, 0, 0, 0}));
}

TEST(CameraProtocol, CoolerSetpointAndTemperature) {
  CommandBlock block{};
  EXPECT_EQ(CoolerSetpointCode(-40), 2330);
  ASSERT_EQ(BuildSetCooler(block, true, -40), 8u);
  EXPECT_EQ(Sent(block, 8), (Bytes{0x40, 30, 0x1A, 0x09, 1, 0, 0, 0}));
  BuildSetCooler(block, false, 35);
  EXPECT_EQ(Sent(block, 8), (Bytes{0x40, 30, 0x08, 0x0C, 0, 0, 0, 0}));
  EXPECT_EQ(DecodeCoolerTemperature(Bytes{0xD8, 0x09, 0x55}), -21);  // 2520
  EXPECT_EQ(DecodeCoolerTemperature(Bytes{0xB4, 0x0A, 0}), 1);       // 2740
  EXPECT_EQ(DecodeCoolerTemperature(Bytes{0xA9, 0x0A, 0}), 0);       // 2729: -0.1 truncates toward zero
}

TEST(CameraProtocol, SerialRelayBlocks) {
  CommandBlock block;
  block.fill(0xEE);
  const std::string text = "#:RG#";
  ASSERT_EQ(BuildSerialWrite(block, 1, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}), 13u);
  EXPECT_EQ(Sent(block, 13), (Bytes{0x40, 10, 0, 0, 1, 0, 5, 0, '#', ':', 'R', 'G', '#'}));
  block.fill(0xEE);
  ASSERT_EQ(BuildSerialRead(block, 2, 33), 8u);
  EXPECT_EQ(Sent(block, 8), (Bytes{0x40, 11, 0, 0, 2, 0, 33, 0}));
  EXPECT_EQ(block[63], 0);  // the serial read clears the whole block
  // A text longer than the block can carry is cut, never written past it.
  const Bytes longText(100, 'x');
  EXPECT_EQ(BuildSerialWrite(block, 0, longText), kCommandBlockBytes);
  EXPECT_EQ(GetLe16(&block[6]), kMaxSerialText);
}

TEST(CameraProtocol, FirmwareDecidesTheCooler) {
  const auto v10 = DecodeFirmwareVersion(Bytes{10, 0, 7, 0});
  const auto v11 = DecodeFirmwareVersion(Bytes{11, 0, 0, 0});
  EXPECT_EQ(v10.w0, 10);
  EXPECT_EQ(v10.w1, 7);
  const CameraModel k1c = *FindCameraModelByName("K1C"), k7 = *FindCameraModelByName("K7");
  EXPECT_FALSE(FirmwareAllowsCooler(v10, k1c));
  EXPECT_TRUE(FirmwareAllowsCooler(v11, k1c));
  EXPECT_FALSE(FirmwareAllowsCooler(v11, k7));
}

TEST(CameraProtocol, TelescopeReplyStopsAtHashOr33) {
  const std::string reply = "M31 GAL#junk";
  EXPECT_EQ(TelescopeReplyText({reinterpret_cast<const std::uint8_t*>(reply.data()), reply.size()}), "M31 GAL");
  const Bytes noHash(40, 'a');
  EXPECT_EQ(TelescopeReplyText(noHash).size(), 33u);
}

TEST(CameraProtocol, VidPidFromPathsAndThePidTable) {
  auto t = ParseVidPid("\\\\?\\usb#vid_5310&pid_0612#5&1a2b#{guid}");
  EXPECT_EQ(t.vid, "5310");
  EXPECT_EQ(t.pid, "0612");
  EXPECT_FALSE(ParseVidPid("\\\\?\\usb#VID_5310&PID_0612").vid);  // only lower case counts
  EXPECT_FALSE(ParseVidPid("xxvid_53").vid);                      // too short to hold four characters
  EXPECT_EQ(CameraTypeForPid("0611"), 2);
  EXPECT_EQ(CameraTypeForPid("0612"), 1);
  EXPECT_EQ(CameraTypeForPid("0613"), 2);
  EXPECT_EQ(CameraTypeForPid("0614"), 5);
  EXPECT_EQ(CameraTypeForPid("0615"), 3);
  EXPECT_EQ(CameraTypeForPid("0616"), 4);
  EXPECT_FALSE(CameraTypeForPid("0619"));
  EXPECT_FALSE(CameraTypeForPid("06a2"));
}

TEST(UsbTrace, LinesCarryLengthAndFailure) {
  const std::uint8_t bytes[] = {0x40, 0xff};
  EXPECT_EQ(TraceLine("W", "camera", bytes, TransferResult{true, 0, 2}), "W camera 2: 40 ff\n");
  EXPECT_EQ(TraceLine("R", "wheel", {}, TransferResult{false, 110, 0}), "R wheel 0 failed error 110:\n");
}

TEST(FrameRebuild, Enlarge4x4FillsTheHalfFrame) {
  // 4 x 3 quarter pixels into an 8 x 6 frame.
  const int qw = 4, qh = 3;
  Bytes reply;
  for (int i = 0; i < qw * qh; ++i) {
    const int v = 100 * (i + 1) + 1;
    reply.push_back(static_cast<std::uint8_t>(v & 0xFF));
    reply.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  std::vector<std::uint16_t> out(8 * 6, 7);
  Enlarge4x4(reply.data(), qw, qh, out.data(), 8, 6);
  EXPECT_EQ(out[0], 101);
  EXPECT_EQ(out[1], 101 / 2 + 201 / 2);  // each halved before adding
  EXPECT_EQ(out[6], 401);
  EXPECT_EQ(out[7], 401);  // last column has only its left neighbour
  EXPECT_EQ(out[8 * 2 + 0], 501);
  EXPECT_EQ(out[8 * 1 + 0], (101 + 501) / 2);  // odd rows: the mean of the rows above and below
  EXPECT_EQ(out[8 * 1 + 1], ((101 / 2 + 201 / 2) + (501 / 2 + 601 / 2)) / 2);
  EXPECT_EQ(out[8 * 4 + 2], 1001);
  for (int c = 0; c < 8; ++c) EXPECT_EQ(out[8 * 5 + c], out[8 * 4 + c]);  // last row copies the one above
}

TEST(FrameRebuild, Enlarge4x4OddRowsSumInAWideType) {
  // Both rows odd: (a + b) / 2, not a/2 + b/2; and near the top of the range
  // the sum must not wrap in 16 bits.
  const Bytes reply = {0x01, 0x01, 0xFF, 0xFF, 0x03, 0x01, 0xFD, 0xFF};  // 257, 65535 / 259, 65533
  std::vector<std::uint16_t> out(4 * 4, 0);
  Enlarge4x4(reply.data(), 2, 2, out.data(), 4, 4);
  EXPECT_EQ(out[4 * 1 + 0], (257 + 259) / 2);
  EXPECT_EQ(out[4 * 1 + 2], (65535 + 65533) / 2);
}

TEST(FrameRebuild, Resample3x3CoversTheFrameAndClamps) {
  // The K4C's 3x3 read-out: 1129 x 904 resampled to 1694 x 1356.
  std::vector<std::uint16_t> src(1129 * 904);
  for (std::size_t i = 0; i < src.size(); ++i) src[i] = static_cast<std::uint16_t>(i % 1129 * 50);
  std::vector<std::uint16_t> dst(1694 * 1356, 1);
  Resample3x3(src.data(), 1129, 904, dst.data(), 1694, 1356);
  EXPECT_EQ(dst[0], 0);
  // Column 3 of the output lies two thirds of the way from source column 1 to 2.
  const float fx = 1694.0f / 1129.0f;
  const float sx = 3 / fx;
  EXPECT_EQ(dst[3], static_cast<std::uint16_t>(50 * sx));
  EXPECT_EQ(dst[1693], src[1128]);  // the edge takes the last column
  std::vector<std::uint16_t> bright(4, 65535), out(9);
  Resample3x3(bright.data(), 2, 2, out.data(), 3, 3);
  for (auto v : out) EXPECT_EQ(v, 65535);
}

TEST(FrameRebuild, WindowPlacedCentredWithZerosRound) {
  const Bytes reply = {1, 0, 2, 0, 3, 0, 4, 0};  // 2 x 2
  std::vector<std::uint16_t> out(5 * 4, 9);
  PlaceWindowCentred(reply.data(), 2, 2, out.data(), 5, 4);
  const std::vector<std::uint16_t> want = {0, 0, 0, 0, 0,  //
                                           0, 1, 2, 0, 0,  //
                                           0, 3, 4, 0, 0,  //
                                           0, 0, 0, 0, 0};
  EXPECT_EQ(out, want);
}

TEST(FrameRebuild, ColumnPairCorrection) {
  std::vector<std::uint16_t> row(20);
  for (int c = 0; c < 16; ++c) row[c] = c % 2 ? 300 : 100;  // A = 100, B = 300
  row[16] = 1500;                                           // even: 1500 - 100 + 1000
  row[17] = 1500;                                           // odd: 1500 - 300 + 1000
  row[18] = 800;                                            // below 1000 - 100: 0
  row[19] = 65300;                                          // above 65535 - 300: 65535
  ColumnPairCorrection(row.data(), 20, 1);
  EXPECT_EQ(row[0], 100);
  EXPECT_EQ(row[16], 2400);
  EXPECT_EQ(row[17], 2200);
  EXPECT_EQ(row[18], 0);
  EXPECT_EQ(row[19], 65535);

  // Levels that push the shifted value off the 16-bit range clamp instead of wrapping.
  std::vector<std::uint16_t> dim(18), bright(18);
  for (int c = 0; c < 16; ++c) {
    dim[c] = 100;      // A = B = 100: 65000 is not above 65435, yet 65000 - 100 + 1000 is
    bright[c] = 3000;  // A = B = 3000: 1500 is not below -2000, yet 1500 - 3000 + 1000 is negative
  }
  dim[16] = 65000;
  bright[16] = 1500;
  bright[17] = 4000;
  ColumnPairCorrection(dim.data(), 18, 1);
  ColumnPairCorrection(bright.data(), 18, 1);
  EXPECT_EQ(dim[16], 65535);
  EXPECT_EQ(bright[16], 0);
  EXPECT_EQ(bright[17], 2000);
}

TEST(FrameRebuild, GuiderFrames) {
  const Bytes raw = {0, 1, 255};
  std::vector<std::uint16_t> out(3);
  GuiderUnbinned(raw.data(), 3, out.data());
  EXPECT_EQ(out, (std::vector<std::uint16_t>{0, 256, 65280}));

  // 4 x 4 frame from a 2 x 2 binned one.
  const Bytes binned = {10, 21, 30, 41};
  std::vector<std::uint16_t> full(4 * 4, 0);
  GuiderBinned(binned.data(), 4, 4, full.data());
  EXPECT_EQ(full[0], 10 * 256);
  EXPECT_EQ(full[1], (5 + 10) * 256);
  EXPECT_EQ(full[2], 21 * 256);
  EXPECT_EQ(full[8], 30 * 256);
  EXPECT_EQ(full[4], (5 + 15) * 256);  // row 1: halved sum of rows 0 and 2

  // Odd bytes above and below: the halved sum, one more than the sum of halves.
  const Bytes odd = {11, 21, 31, 41};
  GuiderBinned(odd.data(), 4, 4, full.data());
  EXPECT_EQ(full[4], (11 + 31) / 2 * 256);
  EXPECT_EQ(full[5], ((5 + 10) + (15 + 20)) / 2 * 256);

  // The last row (289 of 290) has no row below: it copies row 288, never
  // keeping the pixels of an earlier frame.
  std::vector<std::uint16_t> guider(500 * 290, 0xFFFF);
  const Bytes quarter(250 * 145, 7);
  GuiderBinned(quarter.data(), 500, 290, guider.data());
  for (int c = 0; c < 500; ++c) EXPECT_EQ(guider[289 * 500 + c], guider[288 * 500 + c]);
  EXPECT_EQ(guider[289 * 500], 7 * 256);
}

}  // namespace
}  // namespace qv
