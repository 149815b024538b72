// The command registry: one entry per id, and every front end's table
// refers to registered commands.

#include "app/command_registry.h"

#include <gtest/gtest.h>

#include <set>

#include "cli/cli_commands.h"

namespace qv {
namespace {

TEST(CommandRegistry, IdsAreUniqueAndMenuItemsHaveTextAndHint) {
  std::set<int> ids;
  for (const auto& command : Commands()) {
    EXPECT_TRUE(ids.insert(command.id).second) << "duplicate id " << command.id;
    EXPECT_FALSE(command.hint.empty()) << command.id;
    const bool internal = command.group == MenuGroup::Internal;
    EXPECT_EQ(command.menuText.empty(), internal) << command.id;
  }
  EXPECT_EQ(ids.size(), 92u);
  for (int id : {891, 899, 1901, 1902, 1906, 1907, 171, 16102}) EXPECT_TRUE(ids.count(id)) << id;
  EXPECT_EQ(FindCommandInfo(119)->menuText, "&Auto contrast stretch image");
  EXPECT_EQ(FindCommandInfo(24336)->menuText, "&Quick Save as FITS...\tCtl+Q ");
  EXPECT_EQ(FindCommandInfo(12345), nullptr);
}

TEST(CommandRegistry, ToolBarAndAcceleratorsNameRegisteredCommands) {
  const std::vector<int> bar(ToolBarLayout().begin(), ToolBarLayout().end());
  EXPECT_EQ(bar,
            (std::vector<int>{24333, 24335, 133,  24332, 0, 12, 27,  0, 1901, 1902, 123, 0, 121, 0,   14,  0,   8124,
                              8115,  8116,  8114, 8129,  0, 1,  117, 2, 120,  106,  101, 3, 0,   110, 115, 111, 24}));
  for (int id : bar) {
    if (id) {
      EXPECT_NE(FindCommandInfo(id), nullptr) << id;
    }
  }
  std::set<std::string_view> keys;
  for (const auto& accelerator : Accelerators()) {
    EXPECT_NE(FindCommandInfo(accelerator.id), nullptr) << accelerator.keys;
    EXPECT_TRUE(keys.insert(accelerator.keys).second) << accelerator.keys;
  }
  EXPECT_EQ(keys.size(), 22u);
}

TEST(CommandRegistry, CommandLineNamesExistInTheTool) {
  std::set<std::string_view> cli;
  for (const auto& spec : CliCommands()) cli.insert(spec.name);
  for (const auto& command : Commands()) {
    if (command.cliName.empty()) continue;
    const auto name = command.cliName.substr(0, command.cliName.find(' '));
    EXPECT_TRUE(cli.count(name)) << command.id << " " << command.cliName;
  }
}

}  // namespace
}  // namespace qv
