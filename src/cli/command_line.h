#pragma once
// Splitting a command line into words as a shell does, and into a command
// name, positional arguments and key=value options.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv {

// Splits on blanks; single quotes keep everything literally, double quotes
// keep blanks and honour backslash before " and \, a backslash outside quotes
// takes the next character as it is. Nothing when a quote is left open.
std::optional<std::vector<std::string>> SplitWords(std::string_view line);

struct CliCommand {
  std::string name;
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;  // key=value, in order

  const std::string* option(std::string_view key) const;
};

// The first word is the name; later words with an "=" after a non-empty key
// are options, the rest positional.
CliCommand ParseCommandWords(const std::vector<std::string>& words);

}  // namespace qv
