#pragma once
// A command's arguments: a command line split into words as a shell splits
// them, then into a name, positional arguments and key=value options, and a
// reader that checks them. The command-line tool fills them from what the user
// typed; the window's dialogs fill them from what the user chose.

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

struct CommandArgs {
  std::string name;
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;  // key=value, in order

  const std::string* option(std::string_view key) const;
};

// The first word is the name; later words with an "=" after a non-empty key
// are options, the rest positional.
CommandArgs ParseCommandWords(const std::vector<std::string>& words);

}  // namespace qv
