#pragma once
// A program state on the K1C camera (1392 x 1040) with its data root in a
// fresh folder, for the file tests.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/program_state.h"
#include "camera/camera_models.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace qv::test {

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.paths.root = dir.str();
    state.camera.model = *FindCameraModel(1);
    RecomputeFrameGeometry(state.geometry, state.camera.model);
    ResetBufferPointers(state.images);
  }

  std::string file(const std::string& name) const { return (dir.path() / name).string(); }

  // A pattern that differs from pixel to pixel and row to row.
  void FillPattern(std::uint16_t seed = 7) {
    for (int i = 0; i < state.geometry.pixelCount; ++i)
      state.images.workImage[i] = static_cast<std::uint16_t>(i * 37 + seed);
  }
  void FillPlanes() {
    for (int p = 0; p < 3; ++p)
      for (int i = 0; i < state.geometry.pixelCount; ++i)
        state.images.colourPlanes[static_cast<std::size_t>(p)][i] = static_cast<std::uint16_t>(i * (p + 3) + p * 1000);
  }
  std::vector<std::uint16_t> WorkCopy() const {
    return std::vector<std::uint16_t>(state.images.workImage, state.images.workImage + state.geometry.pixelCount);
  }
  std::vector<std::uint16_t> PlaneCopy(int p) const {
    const std::uint16_t* plane = state.images.colourPlanes[static_cast<std::size_t>(p)];
    return std::vector<std::uint16_t>(plane, plane + state.geometry.pixelCount);
  }
  std::vector<int> MessageNumbers() const {
    std::vector<int> numbers;
    for (const auto& box : host.boxes) numbers.push_back(box.number);
    return numbers;
  }
  static std::string Card(const std::vector<unsigned char>& bytes, int index) {
    return std::string(reinterpret_cast<const char*>(bytes.data()) + index * 80, 80);
  }
  static std::string Padded(const std::string& text) { return text + std::string(80 - text.size(), ' '); }

  TempDir dir;
  ProgramState state;
  RecordingHost host;
};

}  // namespace qv::test
