#pragma once
// Exchange networks that sort a fixed number of values, built when the program
// is compiled. Odd-even merge sort is laid out for the next power of two;
// the missing inputs count as larger than any value, so they never move and
// every exchange that touches them is left out. Applied to whole vectors of
// pixels at once, with only one output used, the compiler drops every
// exchange that output does not depend on.

#include <array>
#include <cstddef>
#include <utility>

namespace qv {

struct Exchange {
  unsigned char low, high;  // after the exchange: value at `low` <= value at `high`
};

// Calls `take(low, high)` for each exchange of the network for `count` values,
// in order.
template <typename Take>
constexpr void ForEachSortExchange(int count, Take&& take) {
  int span = 1;
  while (span < count) span <<= 1;
  for (int p = 1; p < span; p <<= 1) {
    for (int k = p; k >= 1; k >>= 1) {
      for (int j = k % p; j + k < span; j += 2 * k) {
        for (int i = 0; i < k && i + j + k < span; ++i) {
          const int low = i + j, high = i + j + k;
          if (low / (2 * p) == high / (2 * p) && high < count) take(low, high);
        }
      }
    }
  }
}

constexpr std::size_t SortExchangeCount(int count) {
  std::size_t n = 0;
  ForEachSortExchange(count, [&](int, int) { ++n; });
  return n;
}

template <int Count>
constexpr auto SortNetwork() {
  std::array<Exchange, SortExchangeCount(Count)> network{};
  std::size_t n = 0;
  ForEachSortExchange(Count, [&](int low, int high) {
    network[n++] = {static_cast<unsigned char>(low), static_cast<unsigned char>(high)};
  });
  return network;
}

template <int Count>
inline constexpr auto kSortNetwork = SortNetwork<Count>();

// Sorts `values` ascending, element by element for vector types. The
// exchanges are unrolled so that the values stay in registers.
template <int Count, typename Value, std::size_t... I>
[[gnu::always_inline]] inline void SortWithNetwork(Value (&values)[Count], std::index_sequence<I...>) {
  constexpr const auto& network = kSortNetwork<Count>;
  (
      [&] {
        Value& a = values[network[I].low];
        Value& b = values[network[I].high];
        const Value low = a < b ? a : b;
        b = a < b ? b : a;
        a = low;
      }(),
      ...);
}

template <int Count, typename Value>
[[gnu::always_inline]] inline void SortWithNetwork(Value (&values)[Count]) {
  SortWithNetwork<Count>(values, std::make_index_sequence<kSortNetwork<Count>.size()>{});
}

}  // namespace qv
