// Image files on the largest frame (3388 x 2712): FITS, raw and TIFF writes
// and reads, each beside a plain copy of the same bytes and, where the
// library is present, beside cfitsio writing and reading the same image. The
// "copies" counter is each operation's time in copies of the frame's bytes,
// one copy timed right after each run of the operation.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/host.h"
#include "app/null_host.h"
#include "app/program_state.h"
#include "camera/camera_models.h"
#include "files/file_io.h"
#include "files/fits_file.h"
#include "files/raw_file.h"
#include "files/tiff_file.h"

namespace {

using QuietHost = qv::NullHost;

qv::ProgramState& LargestFrame() {
  static qv::ProgramState* state = [] {
    auto* s = new qv::ProgramState;
    s->camera.model = *qv::FindCameraModel(4);  // 3388 x 2712
    RecomputeFrameGeometry(s->geometry, s->camera.model);
    ResetBufferPointers(s->images);
    for (int i = 0; i < s->geometry.pixelCount; ++i) s->images.workImage[i] = static_cast<std::uint16_t>(i * 31);
    return s;
  }();
  return *state;
}

std::string BenchPath(const char* name) {
  std::string path = "/tmp/qelvesk-bench-";
  path += name;
  return path;
}

void SetBytes(benchmark::State& bench, std::size_t bytes) {
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * bytes));
}

std::size_t FrameBytes() { return static_cast<std::size_t>(LargestFrame().geometry.pixelCount) * 2; }

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// One plain copy of the frame's bytes, timed.
double TimedFrameCopy() {
  static std::vector<std::uint8_t> from(FrameBytes(), 1), to(FrameBytes(), 0);
  const auto start = Clock::now();
  std::memcpy(to.data(), from.data(), from.size());
  benchmark::ClobberMemory();
  return SecondsSince(start);
}

// Runs `operation` once per iteration, each followed by a timed frame copy.
template <typename Operation>
void MeasureCopies(benchmark::State& bench, Operation operation) {
  double seconds = 0, copySeconds = 0;
  for (auto _ : bench) {
    const auto start = Clock::now();
    operation();
    seconds += SecondsSince(start);
    copySeconds += TimedFrameCopy();
  }
  bench.counters["copies"] = seconds / copySeconds;
  SetBytes(bench, FrameBytes());
}

void BM_CopyFrameBytes(benchmark::State& bench) {
  qv::ProgramState& s = LargestFrame();
  std::uint8_t* target = s.images.buffers.fileBuffers[1].data();
  MeasureCopies(bench, [&] {
    std::memcpy(target, s.images.workImage, FrameBytes());
    benchmark::ClobberMemory();
  });
}
BENCHMARK(BM_CopyFrameBytes)->Unit(benchmark::kMillisecond);

// The floor of every file write here: the frame's bytes, already in file
// order, put in the page cache with one call under a temporary name and
// renamed over the last file, as the writers do. No conversion at all.
void BM_WriteFrameBytesOnly(benchmark::State& bench) {
  qv::ProgramState& s = LargestFrame();
  MeasureCopies(bench, [&] {
    qv::StagedFile staged(BenchPath("bytes.raw"));
    if (!qv::WriteAll(staged.handle(), s.images.workImage, FrameBytes()) || !staged.commit())
      bench.SkipWithError("write");
  });
}
BENCHMARK(BM_WriteFrameBytesOnly)->Unit(benchmark::kMillisecond);

// The same bytes as the writers used to put them out: the old file deleted,
// a new one created, one call per row. For comparison only.
void BM_WriteFrameBytesPerRow(benchmark::State& bench) {
  qv::ProgramState& s = LargestFrame();
  const std::string path = BenchPath("rows.raw");
  const auto rowBytes = static_cast<std::size_t>(s.geometry.rowBytes);
  MeasureCopies(bench, [&] {
    ::unlink(path.c_str());
    const qv::FileHandle file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    for (int y = 0; y < s.geometry.height; ++y) {
      if (!qv::WriteAll(file, s.images.workImage + static_cast<std::size_t>(y) * s.geometry.width, rowBytes))
        bench.SkipWithError("write");
    }
  });
}
BENCHMARK(BM_WriteFrameBytesPerRow)->Unit(benchmark::kMillisecond);

void BM_WriteFits(benchmark::State& bench) {
  qv::ProgramState& s = LargestFrame();
  QuietHost host;
  MeasureCopies(bench,
                [&] { benchmark::DoNotOptimize(qv::WriteFitsFile(s, host, BenchPath("w.fit"), s.images.workImage)); });
}
BENCHMARK(BM_WriteFits)->Unit(benchmark::kMillisecond);

void BM_ReadFits(benchmark::State& bench) {
  qv::ProgramState& s = LargestFrame();
  QuietHost host;
  const std::string path = BenchPath("r.fit");
  benchmark::DoNotOptimize(qv::WriteFitsFile(s, host, path, s.images.workImage));
  const long long length = s.geometry.fitsFileLength;
  MeasureCopies(bench, [&] {
    if (qv::ReadFitsFile(s, path, s.images.scratchImage, length) != qv::FitsReadResult::Ok) bench.SkipWithError("read");
  });
}
BENCHMARK(BM_ReadFits)->Unit(benchmark::kMillisecond);

void BM_WriteRaw(benchmark::State& bench) {
  qv::ProgramState& s = LargestFrame();
  QuietHost host;
  MeasureCopies(bench, [&] { benchmark::DoNotOptimize(qv::WriteRawFile(s, host, BenchPath("w.raw"))); });
}
BENCHMARK(BM_WriteRaw)->Unit(benchmark::kMillisecond);

void BM_ReadRaw(benchmark::State& bench) {
  qv::ProgramState& s = LargestFrame();
  QuietHost host;
  const std::string path = BenchPath("r.raw");
  benchmark::DoNotOptimize(qv::WriteRawFile(s, host, path));
  MeasureCopies(bench, [&] {
    if (qv::ReadRawFile(s, path, s.geometry.rawFileLength) != qv::RawResult::Ok) bench.SkipWithError("read");
  });
}
BENCHMARK(BM_ReadRaw)->Unit(benchmark::kMillisecond);

void BM_WriteTiff8(benchmark::State& bench) {
  qv::ProgramState& s = LargestFrame();
  MeasureCopies(bench, [&] {
    benchmark::DoNotOptimize(qv::WriteTiffFile(s, BenchPath("w8.tif"), s.images.workImage, false, nullptr));
  });
}
BENCHMARK(BM_WriteTiff8)->Unit(benchmark::kMillisecond);

void BM_WriteTiff16(benchmark::State& bench) {
  qv::ProgramState& s = LargestFrame();
  MeasureCopies(bench, [&] {
    benchmark::DoNotOptimize(qv::WriteTiffFile(s, BenchPath("w16.tif"), s.images.workImage, true, nullptr));
  });
}
BENCHMARK(BM_WriteTiff16)->Unit(benchmark::kMillisecond);

}  // namespace

#ifdef QELVESK_HAVE_CFITSIO
// The few cfitsio entry points used, declared here so that only the shared
// library is needed.
extern "C" {
int ffinit(void** fptr, const char* filename, int* status);
int ffcrim(void* fptr, int bitpix, int naxis, long* naxes, int* status);
int ffpprui(void* fptr, long group, long long firstelem, long long nelem, const unsigned short* array, int* status);
int ffclos(void* fptr, int* status);
int ffopen(void** fptr, const char* filename, int iomode, int* status);
int ffgpv(void* fptr, int datatype, long long firstelem, long long nelem, void* nulval, void* array, int* anynul,
          int* status);
}

namespace {

constexpr int kUshortImage = 20;
constexpr int kTypeUshort = 20;

void BM_CfitsioWrite(benchmark::State& bench) {
  qv::ProgramState& s = LargestFrame();
  std::string path = "!";  // cfitsio's "overwrite" mark
  path += BenchPath("cfitsio.fit");
  long axes[2] = {s.geometry.width, s.geometry.height};
  MeasureCopies(bench, [&] {
    void* file = nullptr;
    int status = 0;
    ffinit(&file, path.c_str(), &status);
    ffcrim(file, kUshortImage, 2, axes, &status);
    ffpprui(file, 0, 1, s.geometry.pixelCount, s.images.workImage, &status);
    ffclos(file, &status);
    if (status) bench.SkipWithError("cfitsio write");
  });
}
BENCHMARK(BM_CfitsioWrite)->Unit(benchmark::kMillisecond);

void BM_CfitsioRead(benchmark::State& bench) {
  qv::ProgramState& s = LargestFrame();
  const std::string path = BenchPath("cfitsio-read.fit");
  {
    long axes[2] = {s.geometry.width, s.geometry.height};
    void* file = nullptr;
    int status = 0;
    std::string overwrite = "!";
    overwrite += path;
    ffinit(&file, overwrite.c_str(), &status);
    ffcrim(file, kUshortImage, 2, axes, &status);
    ffpprui(file, 0, 1, s.geometry.pixelCount, s.images.workImage, &status);
    ffclos(file, &status);
  }
  MeasureCopies(bench, [&] {
    void* file = nullptr;
    int status = 0;
    unsigned short none = 0;
    int anyNull = 0;
    ffopen(&file, path.c_str(), 0, &status);
    ffgpv(file, kTypeUshort, 1, s.geometry.pixelCount, &none, s.images.scratchImage, &anyNull, &status);
    ffclos(file, &status);
    if (status) bench.SkipWithError("cfitsio read");
  });
}
BENCHMARK(BM_CfitsioRead)->Unit(benchmark::kMillisecond);

}  // namespace
#endif
