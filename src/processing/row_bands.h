#pragma once
// Splits the rows of a whole-image pass between two threads. Only for passes
// whose rows are independent: each row is computed from input no other row
// of the band writes, so the result is the same as one thread's.

#include <algorithm>
#include <cstddef>
#include <thread>

namespace qv {

// True when a second core can take half of a pass.
inline bool CanSplitRows() { return std::thread::hardware_concurrency() > 1; }

// Runs over the rows [first, end) in bands of `bandRows`: before(from) on
// this thread, then rows(worker, from, to) for the band, split into an
// upper half run by a worker thread (worker 0) and a lower half run here
// (worker 1), then after(from, to) on this thread with both halves done.
template <typename Before, typename Rows, typename After>
void RunRowBands(int first, int end, int bandRows, Before before, Rows rows, After after) {
  const bool split = CanSplitRows();
  for (int from = first; from < end; from += bandRows) {
    const int to = std::min(end, from + bandRows);
    before(from);
    if (split && to - from > 1) {
      const int middle = from + (to - from) / 2;
      std::thread upper([&rows, from, middle] { rows(0, from, middle); });
      rows(1, middle, to);
      upper.join();
    } else {
      rows(0, from, to);
    }
    after(from, to);
  }
}

// Runs part(from, to) over [0, count), half of it on a worker thread when
// the count is worth it.
template <typename Part>
void SplitInTwo(std::size_t count, Part part) {
  constexpr std::size_t kWorthSplitting = 1 << 16;
  if (!CanSplitRows() || count < kWorthSplitting) {
    part(std::size_t{0}, count);
    return;
  }
  const std::size_t middle = count / 2;
  std::thread first([&part, middle] { part(std::size_t{0}, middle); });
  part(middle, count);
  first.join();
}

}  // namespace qv
