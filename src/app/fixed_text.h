#pragma once
// A text held in a fixed-size, zero-terminated byte field, as the program's
// records and files lay it out. Anything longer than the field is cut, never
// written past it.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace qv {

template <std::size_t N>
struct FixedText {
  static_assert(N >= 1);
  static constexpr std::size_t kCapacity = N;  // bytes, terminator included
  static constexpr std::size_t kMaxLength = N - 1;

  char bytes[N] = {};

  FixedText() = default;
  FixedText(std::string_view text) { set(text); }  // NOLINT: implicit by design

  void set(std::string_view text) {
    std::memset(bytes, 0, N);
    // An empty view may carry no pointer at all.
    if (!text.empty()) std::memcpy(bytes, text.data(), std::min(text.size(), kMaxLength));
  }
  void clear() { std::memset(bytes, 0, N); }

  std::string_view view() const { return std::string_view(bytes, ::strnlen(bytes, N)); }
  std::string str() const { return std::string(view()); }
  [[nodiscard]] bool empty() const { return bytes[0] == '\0'; }
  std::size_t size() const { return view().size(); }

  FixedText& operator=(std::string_view text) {
    set(text);
    return *this;
  }
  [[nodiscard]] bool operator==(std::string_view other) const { return view() == other; }
  [[nodiscard]] bool operator==(const FixedText& other) const { return view() == other.view(); }
};

}  // namespace qv
