#pragma once
// Reads a command's arguments. Each read checks one argument; the first
// problem is written to the context's error stream as one line naming the
// command and what it wants, and makes the arguments unusable. A command
// reads all its arguments first, then asks `proceed()`: false when an
// argument was wrong (the status is Usage) or when the arguments are only
// being checked (the status is Done), so a command changes nothing before its
// arguments are known to be good.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_table.h"

namespace qv {

class ArgReader {
 public:
  ArgReader(CommandContext& context, const CommandArgs& args);

  // A whole number option within [low, high]; required, or `fallback` when
  // absent.
  long integer(std::string_view key, long low, long high);
  long integer(std::string_view key, long low, long high, long fallback);
  // A decimal number option within [low, high] (a decimal point whatever the
  // locale); required.
  double number(std::string_view key, double low, double high);
  // A flag option: 1 or y, 0 or n; `fallback` when absent.
  [[nodiscard]] bool flag(std::string_view key, bool fallback);
  // A text option; required, or `fallback` when absent.
  std::string text(std::string_view key);
  std::string text(std::string_view key, std::string_view fallback);
  // The one positional argument, e.g. a file name; `what` describes it.
  std::string single(std::string_view what);
  // The one positional argument, which must be one of `choices`; returns its
  // index.
  int choice(std::initializer_list<std::string_view> choices);
  // A whole number positional argument within [low, high].
  long positionalInteger(std::string_view what, long low, long high);

  // Reports options the command does not take and positional arguments it
  // does not read. Call after every read.
  [[nodiscard]] bool proceed();
  CommandStatus status() const { return ok_ ? CommandStatus::Done : CommandStatus::Usage; }
  [[nodiscard]] bool ok() const { return ok_; }

  // Writes a usage problem (once) and marks the arguments unusable.
  void fail(std::string_view problem);

 private:
  const std::string* take(std::string_view key);

  CommandContext& context_;
  const CommandArgs& args_;
  std::vector<bool> optionUsed_;
  bool positionalUsed_ = false;
  bool ok_ = true;
};

// A command without arguments whose operation takes the state and the host.
template <void (*Operation)(ProgramState&, Host&)>
CommandStatus RunWithoutArguments(CommandContext& context, const CommandArgs& args) {
  ArgReader reader(context, args);
  if (!reader.proceed()) return reader.status();
  Operation(context.state, context.host);
  return CommandStatus::Done;
}

// Parses a whole number, all of `text`; nothing when it is not one.
std::optional<long> ParseWholeNumber(std::string_view text);

}  // namespace qv
