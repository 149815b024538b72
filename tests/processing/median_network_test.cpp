// The exchange networks of the median filter, checked on every input of
// zeros and ones: a network of exchanges orders every input exactly when it
// orders all of those.

#include "processing/median_network.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace qv {
namespace {

// Runs the network on `values` and reads them back in the order of its
// outputs.
std::vector<int> RunNetwork(const NetworkBuilder& b, const WireRun& order, std::vector<int> values) {
  for (int i = 0; i < b.size; ++i) {
    int& low = values[b.exchanges[i].low];
    int& high = values[b.exchanges[i].high];
    if (low > high) std::swap(low, high);
  }
  std::vector<int> out;
  for (int i = 0; i < order.size; ++i) out.push_back(values[order[i]]);
  return out;
}

TEST(MedianNetwork, SortsEveryInputOfEachLength) {
  for (int count = 1; count <= 12; ++count) {
    NetworkBuilder b;
    const WireRun order = b.sort(0, count);
    ASSERT_EQ(order.size, count);
    for (unsigned bits = 0; bits < (1u << count); ++bits) {
      std::vector<int> values(count);
      for (int i = 0; i < count; ++i) values[i] = (bits >> i) & 1;
      const std::vector<int> out = RunNetwork(b, order, values);
      ASSERT_TRUE(std::is_sorted(out.begin(), out.end())) << count << " values, input " << bits;
    }
  }
}

// Sorted runs of zeros then ones, one per length, merged by the network; the
// runs take wires in order.
void ExpectMergesAllSortedRuns(const std::vector<int>& lengths, bool balancedTree) {
  NetworkBuilder b;
  std::vector<WireRun> runs(lengths.size());
  int wires = 0;
  for (std::size_t r = 0; r < lengths.size(); ++r) {
    for (int i = 0; i < lengths[r]; ++i) runs[r].push(wires++);
  }
  const WireRun order =
      balancedTree ? b.mergeAll(runs.data(), static_cast<int>(runs.size())) : b.merge(runs[0], runs[1]);
  ASSERT_EQ(order.size, wires);
  // Every choice of how many zeros lead each run.
  std::vector<int> zeros(lengths.size(), 0);
  while (true) {
    std::vector<int> values;
    for (std::size_t r = 0; r < lengths.size(); ++r) {
      for (int i = 0; i < lengths[r]; ++i) values.push_back(i < zeros[r] ? 0 : 1);
    }
    const std::vector<int> out = RunNetwork(b, order, values);
    ASSERT_TRUE(std::is_sorted(out.begin(), out.end()));
    std::size_t r = 0;
    while (r < lengths.size() && ++zeros[r] > lengths[r]) zeros[r++] = 0;
    if (r == lengths.size()) break;
  }
}

TEST(MedianNetwork, MergesSortedRunsOfAnyLengths) {
  for (int a = 0; a <= 9; ++a) {
    for (int b = 0; b <= 9; ++b) {
      if (a + b == 0) continue;
      SCOPED_TRACE(testing::Message() << a << " and " << b);
      ExpectMergesAllSortedRuns({a, b}, false);
    }
  }
}

TEST(MedianNetwork, MergesTheWindowsOfEachRadius) {
  // Radius pairs of sorted columns and the last column, as the filter lays
  // out a window.
  ExpectMergesAllSortedRuns({6, 3}, true);
  ExpectMergesAllSortedRuns({10, 10, 5}, true);
  ExpectMergesAllSortedRuns({14, 14, 14, 7}, true);
}

TEST(MedianNetwork, CompiledNetworksMatchTheBuilder) {
  static constexpr auto sort7 = MakeNetwork([](NetworkBuilder& b) { return b.sort(0, 7); });
  NetworkBuilder b;
  const WireRun order = b.sort(0, 7);
  ASSERT_EQ(static_cast<int>(sort7.exchanges.size()), b.size);
  int values[7] = {9, 3, 65535, 0, 3, 12, 7};
  ApplyNetwork<sort7>(values);
  std::vector<int> out;
  for (int i = 0; i < 7; ++i) out.push_back(values[sort7.order[i]]);
  EXPECT_EQ(out, (std::vector<int>{0, 3, 3, 7, 9, 12, 65535}));
  EXPECT_EQ(order.size, 7);
}

}  // namespace
}  // namespace qv
