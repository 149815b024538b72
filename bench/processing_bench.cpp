// Stretches and spatial filters on the largest frame (3388 x 2712), each
// reported beside one plain copy of the frame measured in the same run: the
// "copies" counter is the operation's time in frame copies. Where OpenCV is
// installed, its nearest filters run on the same frame (one thread, as the
// program's filters do), and a plain lookup-table stretch with its undo copy.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "app/null_host.h"
#include "app/program_state.h"
#include "processing/auto_processing.h"
#include "processing/gradient_filter.h"
#include "processing/kernel_filters.h"
#include "processing/median_filter.h"
#include "processing/stretch_commands.h"
#include "processing/unsharp_mask.h"

#include "sky_frame.h"

#ifdef QELVESK_HAVE_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

using Clock = std::chrono::steady_clock;

using SilentHost = qv::NullHost;

struct Frame {
  std::unique_ptr<qv::ProgramState> state = std::make_unique<qv::ProgramState>();
  SilentHost host;
  std::vector<std::uint16_t> original;

  Frame() {
    qv::SetFrameSize(state->geometry, 3388, 2712);
    original = qv::bench::SkyLikeFrame(static_cast<std::size_t>(state->geometry.pixelCount));
    restore();
    // Touch the copy target once so that the timed copies find its pages.
    std::memset(state->images.planeWorkSet[0], 0, original.size() * 2);
  }

  // One plain copy of the frame, timed.
  double timedCopy() {
    const auto start = Clock::now();
    std::memcpy(state->images.planeWorkSet[0], original.data(), original.size() * 2);
    benchmark::ClobberMemory();
    return std::chrono::duration<double>(Clock::now() - start).count();
  }
  void restore() { std::memcpy(state->images.workImage, original.data(), original.size() * 2); }
};

Frame& TheFrame() {
  static Frame frame;
  return frame;
}

// Each iteration times the operation and, right after it, one copy of the
// frame, so both see the same machine load.
template <typename Operation>
void Measure(benchmark::State& bench, Operation operation) {
  Frame& f = TheFrame();
  f.restore();
  double seconds = 0, copySeconds = 0;
  for (auto _ : bench) {
    f.state->images.history.clear();
    const auto start = Clock::now();
    operation(*f.state, f.host);
    seconds += std::chrono::duration<double>(Clock::now() - start).count();
    copySeconds += f.timedCopy();
  }
  bench.counters["copies"] = seconds / copySeconds;
}

void FrameCopy(benchmark::State& bench) {
  Measure(bench, [](qv::ProgramState& s, qv::Host&) {
    std::memcpy(s.images.scratchImage, s.images.workImage, static_cast<std::size_t>(s.geometry.pixelCount) * 2);
    benchmark::ClobberMemory();
  });
}
BENCHMARK(FrameCopy)->Unit(benchmark::kMillisecond);

#define QV_BENCH(name, call)                                        \
  void name(benchmark::State& bench) {                              \
    Measure(bench, [](qv::ProgramState& s, qv::Host& h) { call; }); \
  }                                                                 \
  BENCHMARK(name)->Unit(benchmark::kMillisecond)

QV_BENCH(InvertStretch, qv::InvertToNegative(s, h));
QV_BENCH(NonLinearStretch, qv::NonLinearStretch(s, h, 25));
QV_BENCH(WeightedMeanSmoother, qv::WeightedMeanSmoother(s, h));
QV_BENCH(GaussianSmoother, qv::GaussianSmoother(s, h));
QV_BENCH(HighPassLowPower, qv::HighPassLowPower(s, h));
QV_BENCH(HighPassHighPower, qv::HighPassHighPower(s, h));
QV_BENCH(SmootherSharper, qv::SmootherSharper(s, h));
QV_BENCH(BasRelief, qv::BasRelief(s, h));
QV_BENCH(UnsharpRadius3, qv::UnsharpMask(s, h, 3, 1, false));
QV_BENCH(UnsharpRadius7, qv::UnsharpMask(s, h, 7, 7, false));
QV_BENCH(MedianRadius1, qv::MedianFilter(s, h, 1, 6, false));
QV_BENCH(MedianRadius2, qv::MedianFilter(s, h, 2, 6, false));
QV_BENCH(MedianRadius3, qv::MedianFilter(s, h, 3, 6, false));
QV_BENCH(GradientFilter, qv::GradientFilter(s, h));

// The same filters in the plain build of the row loops, as machines without
// AVX2 run them.
template <typename Operation>
void MeasurePlain(benchmark::State& bench, Operation operation) {
  Measure(bench, [&](qv::ProgramState& s, qv::Host& h) {
    s.processing.rowLoops = qv::RowLoops::Plain;
    operation(s, h);
    s.processing.rowLoops = qv::RowLoops::Fastest;
  });
}
#define QV_BENCH_PLAIN(name, call)                                       \
  void name(benchmark::State& bench) {                                   \
    MeasurePlain(bench, [](qv::ProgramState& s, qv::Host& h) { call; }); \
  }                                                                      \
  BENCHMARK(name)->Unit(benchmark::kMillisecond)

QV_BENCH_PLAIN(PlainBuildGaussianSmoother, qv::GaussianSmoother(s, h));
QV_BENCH_PLAIN(PlainBuildUnsharpRadius7, qv::UnsharpMask(s, h, 7, 7, false));
QV_BENCH_PLAIN(PlainBuildMedianRadius1, qv::MedianFilter(s, h, 1, 6, false));
QV_BENCH_PLAIN(PlainBuildMedianRadius3, qv::MedianFilter(s, h, 3, 6, false));
QV_BENCH_PLAIN(PlainBuildGradientFilter, qv::GradientFilter(s, h));

// The stretch as a plain program would do it: the undo copy, then every
// pixel through a 65,536-entry table.
void PeerPlainLookupTable(benchmark::State& bench) {
  std::vector<std::uint16_t> table(65536);
  for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::uint16_t>(65535 - i);
  Measure(bench, [&](qv::ProgramState& s, qv::Host&) {
    const std::size_t count = static_cast<std::size_t>(s.geometry.pixelCount);
    std::memcpy(s.images.undoImage, s.images.workImage, count * 2);
    std::uint16_t* pixels = s.images.workImage;
    for (std::size_t i = 0; i < count; ++i) pixels[i] = table[pixels[i]];
    benchmark::ClobberMemory();
  });
}
BENCHMARK(PeerPlainLookupTable)->Unit(benchmark::kMillisecond);

#ifdef QELVESK_HAVE_OPENCV
// OpenCV filters from the work image into a second frame.
template <typename Filter>
void MeasureOpenCv(benchmark::State& bench, Filter filter) {
  static const bool oneThread = (cv::setNumThreads(1), true);
  (void)oneThread;
  Measure(bench, [&](qv::ProgramState& s, qv::Host&) {
    const cv::Mat in(s.geometry.height, s.geometry.width, CV_16U, s.images.workImage);
    cv::Mat out(s.geometry.height, s.geometry.width, CV_16U, s.images.scratchImage);
    filter(in, out);
    benchmark::ClobberMemory();
  });
}

#define QV_PEER(name, call)                                              \
  void name(benchmark::State& bench) {                                   \
    MeasureOpenCv(bench, [](const cv::Mat& in, cv::Mat& out) { call; }); \
  }                                                                      \
  BENCHMARK(name)->Unit(benchmark::kMillisecond)

QV_PEER(PeerOpenCvMedianBlur3x3, cv::medianBlur(in, out, 3));
QV_PEER(PeerOpenCvMedianBlur5x5, cv::medianBlur(in, out, 5));
QV_PEER(PeerOpenCvGaussianBlur5x5, cv::GaussianBlur(in, out, cv::Size(5, 5), 0));
// The high pass low power kernel.
const cv::Mat kSharpen3x3 = (cv::Mat_<float>(3, 3) << 0, -1, 0, -1, 5, -1, 0, -1, 0);
QV_PEER(PeerOpenCvFilter2D3x3, cv::filter2D(in, out, -1, kSharpen3x3));
QV_PEER(PeerOpenCvBoxBlur7x7, cv::blur(in, out, cv::Size(7, 7)));
#endif

}  // namespace
