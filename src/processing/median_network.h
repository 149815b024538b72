#pragma once
// Exchange networks built when the program is compiled: odd-even merges of
// sorted runs of any length, and from them sorts and the merging of several
// runs. Applied to vectors of pixels, sixteen windows go through at once;
// when only some outputs are used (a median), the compiler drops every
// exchange they do not depend on.

#include <array>
#include <cstddef>
#include <utility>

namespace qv {

struct Exchange {
  unsigned char low, high;  // after the exchange: value at `low` <= value at `high`
};

inline constexpr int kNetworkMaxWires = 64;

// Wires in ascending order of their values.
struct WireRun {
  std::array<unsigned char, kNetworkMaxWires> wire{};
  int size = 0;

  constexpr void push(int w) { wire[size++] = static_cast<unsigned char>(w); }
  constexpr int operator[](int i) const { return wire[i]; }
};

struct NetworkBuilder {
  std::array<Exchange, 1024> exchanges{};
  int size = 0;

  constexpr void add(int low, int high) {
    exchanges[size++] = {static_cast<unsigned char>(low), static_cast<unsigned char>(high)};
  }

  // Merges two sorted runs. The even-placed values of both runs and the
  // odd-placed ones are merged separately; interleaved, the two results are
  // sorted but for neighbours (odd result i, even result i + 1), which one
  // exchange each puts in order. Holds for runs of any length.
  constexpr WireRun merge(const WireRun& a, const WireRun& b) {
    if (a.size == 0) return b;
    if (b.size == 0) return a;
    WireRun out;
    if (a.size == 1 && b.size == 1) {
      add(a[0], b[0]);
      out.push(a[0]);
      out.push(b[0]);
      return out;
    }
    WireRun aEven, aOdd, bEven, bOdd;
    for (int i = 0; i < a.size; ++i) (i % 2 ? aOdd : aEven).push(a[i]);
    for (int i = 0; i < b.size; ++i) (i % 2 ? bOdd : bEven).push(b[i]);
    const WireRun even = merge(aEven, bEven);
    const WireRun odd = merge(aOdd, bOdd);
    for (int i = 0; i < odd.size && i + 1 < even.size; ++i) add(odd[i], even[i + 1]);
    for (int i = 0; i < even.size; ++i) {
      out.push(even[i]);
      if (i < odd.size) out.push(odd[i]);
    }
    return out;
  }

  // Sorts wires [first, first + count) by sorting both halves and merging.
  constexpr WireRun sort(int first, int count) {
    if (count == 1) {
      WireRun one;
      one.push(first);
      return one;
    }
    const int half = count / 2;
    const WireRun low = sort(first, half);
    const WireRun high = sort(first + half, count - half);
    return merge(low, high);
  }

  // Merges runs[0..count) in a balanced tree of pairwise merges.
  constexpr WireRun mergeAll(const WireRun* runs, int count) {
    if (count == 1) return runs[0];
    const int half = count / 2;
    const WireRun low = mergeAll(runs, half);
    const WireRun high = mergeAll(runs + half, count - half);
    return merge(low, high);
  }
};

// A finished network: its exchanges and the wire that holds each rank.
template <std::size_t Size>
struct Network {
  std::array<Exchange, Size> exchanges;
  WireRun order;
};

// `Build` is a lambda without captures that builds the network and returns
// the order of its outputs.
template <typename Build>
constexpr auto MakeNetwork(Build build) {
  constexpr std::size_t size = [] {
    NetworkBuilder b;
    Build{}(b);
    return static_cast<std::size_t>(b.size);
  }();
  NetworkBuilder b;
  Network<size> network{};
  network.order = build(b);
  for (std::size_t i = 0; i < size; ++i) network.exchanges[i] = b.exchanges[i];
  return network;
}

// Applies the network's exchanges to `values`, unrolled so that the values
// stay in registers where they fit.
template <const auto& Net, typename Value, std::size_t Wires, std::size_t... I>
[[gnu::always_inline]] inline void ApplyNetwork(Value (&values)[Wires], std::index_sequence<I...>) {
  (
      [&] {
        Value& a = values[Net.exchanges[I].low];
        Value& b = values[Net.exchanges[I].high];
        const Value low = a < b ? a : b;
        b = a < b ? b : a;
        a = low;
      }(),
      ...);
}

template <const auto& Net, typename Value, std::size_t Wires>
[[gnu::always_inline]] inline void ApplyNetwork(Value (&values)[Wires]) {
  ApplyNetwork<Net>(values, std::make_index_sequence<Net.exchanges.size()>{});
}

}  // namespace qv
