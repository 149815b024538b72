#include "app/arg_reader.h"

#include <charconv>
#include <cstdio>

namespace qv {

std::optional<long> ParseWholeNumber(std::string_view text) {
  long value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

ArgReader::ArgReader(CommandContext& context, const CommandArgs& args)
    : context_(context), args_(args), optionUsed_(args.options.size(), false) {}

void ArgReader::fail(std::string_view problem) {
  if (ok_) context_.err << args_.name << ": " << problem << '\n';
  ok_ = false;
}

const std::string* ArgReader::take(std::string_view key) {
  for (std::size_t i = 0; i < args_.options.size(); ++i) {
    if (args_.options[i].first == key) {
      optionUsed_[i] = true;
      return &args_.options[i].second;
    }
  }
  return nullptr;
}

long ArgReader::integer(std::string_view key, long low, long high) {
  const std::string* text = take(key);
  if (!text) {
    fail(std::string("give ") + std::string(key) + "=N (" + std::to_string(low) + " to " + std::to_string(high) + ")");
    return low;
  }
  const auto value = ParseWholeNumber(*text);
  if (!value || *value < low || *value > high) {
    fail(std::string(key) + " must be a whole number from " + std::to_string(low) + " to " + std::to_string(high));
    return low;
  }
  return *value;
}

long ArgReader::integer(std::string_view key, long low, long high, long fallback) {
  for (const auto& option : args_.options) {
    if (option.first == key) return integer(key, low, high);
  }
  return fallback;
}

double ArgReader::number(std::string_view key, double low, double high) {
  const std::string* text = take(key);
  double value = 0.0;
  const char* end = text ? text->data() + text->size() : nullptr;
  if (!text || text->empty() || std::from_chars(text->data(), end, value).ptr != end || !(value >= low) ||
      !(value <= high)) {
    char range[64];
    std::snprintf(range, sizeof range, " from %.1f to %.1f", low, high);
    fail(std::string("give ") + std::string(key) + "=N" + range);
    return low;
  }
  return value;
}

bool ArgReader::flag(std::string_view key, bool fallback) {
  const std::string* text = take(key);
  if (!text) return fallback;
  if (*text == "1" || *text == "y") return true;
  if (*text == "0" || *text == "n") return false;
  fail(std::string(key) + " takes 0 or 1");
  return fallback;
}

std::string ArgReader::text(std::string_view key) {
  const std::string* value = take(key);
  if (!value) {
    fail(std::string("give ") + std::string(key) + "=TEXT");
    return {};
  }
  return *value;
}

std::string ArgReader::text(std::string_view key, std::string_view fallback) {
  const std::string* value = take(key);
  return value ? *value : std::string(fallback);
}

std::string ArgReader::single(std::string_view what) {
  positionalUsed_ = true;
  if (args_.positional.size() != 1) {
    fail(std::string("give ") + std::string(what));
    return {};
  }
  return args_.positional[0];
}

int ArgReader::choice(std::initializer_list<std::string_view> choices) {
  std::string list;
  for (const auto& c : choices) list += (list.empty() ? "" : ", ") + std::string(c);
  const std::string word = single("one of " + list);
  if (!ok_) return 0;
  int index = 0;
  for (const auto& c : choices) {
    if (word == c) return index;
    ++index;
  }
  fail("'" + word + "' is not one of " + list);
  return 0;
}

long ArgReader::positionalInteger(std::string_view what, long low, long high) {
  const std::string word = single(what);
  if (!ok_) return low;
  const auto value = ParseWholeNumber(word);
  if (!value || *value < low || *value > high) {
    fail(std::string(what) + " must be a whole number from " + std::to_string(low) + " to " + std::to_string(high));
    return low;
  }
  return *value;
}

bool ArgReader::proceed() {
  for (std::size_t i = 0; i < args_.options.size() && ok_; ++i) {
    if (!optionUsed_[i]) fail("does not take " + args_.options[i].first + "=");
  }
  if (ok_ && !positionalUsed_ && !args_.positional.empty()) {
    fail("does not take '" + args_.positional[0] + "'");
  }
  return ok_ && !context_.checkOnly;
}

}  // namespace qv
