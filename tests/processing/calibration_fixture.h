#pragma once
// The K1C frame of the file tests plus raw reference files written from
// pixel vectors, for the dark, flat and merge tests.

#include <fstream>
#include <string>
#include <vector>

#include "files/files_fixture.h"

namespace qv::test {

class CalibrationTest : public FilesTest {
 protected:
  // A raw file of `pixels` and the 10-byte tag.
  std::string WriteRaw(const std::string& name, const std::vector<std::uint16_t>& pixels,
                       const std::string& tag = "RAW 1     ") {
    const std::string path = file(name);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size() * 2));
    out.write((tag + std::string(10, ' ')).data(), 10);
    return path;
  }
  std::vector<std::uint16_t> Frame(std::uint16_t value) const {
    return std::vector<std::uint16_t>(static_cast<std::size_t>(state.geometry.pixelCount), value);
  }
  std::vector<std::uint16_t> PatternFrame(int step, int offset) const {
    std::vector<std::uint16_t> f(static_cast<std::size_t>(state.geometry.pixelCount));
    for (std::size_t i = 0; i < f.size(); ++i) f[i] = static_cast<std::uint16_t>(offset + (i * step) % 3000);
    return f;
  }
  void SetWork(const std::vector<std::uint16_t>& pixels) {
    std::copy(pixels.begin(), pixels.end(), state.images.workImage);
  }
  std::uint16_t& At(int x, int y) { return state.images.workImage[y * state.geometry.width + x]; }
};

}  // namespace qv::test
