// The command table: every command reachable under one name, and what a
// front end may rely on when it walks the table.

#include "app/command_table.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "support/recording_host.h"
#include "support/test_clock.h"

namespace qv {
namespace {

TEST(CommandTable, EveryBuiltCommandHasOneCliNameOrIsAWindowOperation) {
  std::set<std::string_view> names;
  std::set<CommandId> ids;
  for (const auto& entry : Commands()) {
    EXPECT_TRUE(ids.insert(entry.id).second) << ToInt(entry.id);
    if (!entry.cliName.empty()) {
      EXPECT_TRUE(names.insert(entry.cliName).second) << entry.cliName;
    }
    if (entry.windowOnly) {
      EXPECT_EQ(entry.run, nullptr) << ToInt(entry.id) << ": a window operation runs in the window";
      EXPECT_TRUE(entry.cliName.empty()) << entry.cliName;
    } else if (entry.run) {
      EXPECT_FALSE(entry.cliName.empty()) << ToInt(entry.id) << " runs but the command-line tool cannot reach it";
    } else {
      EXPECT_TRUE(entry.cliName.empty()) << entry.cliName << " is named but not built";
    }
    // Commands off the menus are reached only by name.
    if (entry.group == MenuGroup::None) {
      EXPECT_TRUE(entry.menuText.empty());
    }
  }
  for (const auto& entry : Commands()) {
    if (!entry.cliName.empty()) {
      EXPECT_EQ(FindCommandByCliName(entry.cliName), &entry);
    }
  }
  EXPECT_EQ(FindCommandByCliName(""), nullptr);
}

TEST(CommandTable, ProcessingAndDisplayStretchPowerAreTwoCommands) {
  const CommandEntry* processing = FindCommandByCliName("stretch-power");
  const CommandEntry* display = FindCommandByCliName("display-stretch-power");
  ASSERT_TRUE(processing && display);
  EXPECT_EQ(processing->id, CommandId::PowerLawStretch);
  EXPECT_EQ(display->id, CommandId::DisplayStretchPower);
}

struct TableRun {
  ProgramState state;
  test::RecordingHost host;
  test::TestClock clock;
  std::ostringstream out, err;
  CommandContext context{state, host, clock, out, err};

  CommandStatus operator()(CommandId id, std::vector<std::string> words) {
    words.insert(words.begin(), "command");
    return RunCommand(*FindCommand(id), context, ParseCommandWords(words));
  }
};

TEST(CommandTable, StateRulesRefuseAtRunTimeOnly) {
  auto run = std::make_unique<TableRun>();
  // "Telescope &Control" is enabled only with a telescope guiding mode.
  const CommandEntry& telescope = *FindCommand(CommandId::TelescopeControl);
  ASSERT_NE(telescope.enabled, nullptr);
  run->state.settings.telescopeGuiding = 'n';
  EXPECT_FALSE(telescope.enabled(run->state));
  run->state.settings.telescopeGuiding = 'l';
  EXPECT_TRUE(telescope.enabled(run->state));
  // A command that is not built yet is refused, not run.
  for (const auto& entry : Commands()) {
    if (entry.run || entry.windowOnly) continue;
    EXPECT_EQ((*run)(entry.id, {}), CommandStatus::Refused);
    EXPECT_NE(run->err.str().find("not available"), std::string::npos);
    break;
  }
}

TEST(CommandTable, ArgumentsAreCheckedWithoutRunning) {
  auto run = std::make_unique<TableRun>();
  SetFrameSize(run->state.geometry, 20, 10);
  std::fill_n(run->state.images.workImage, 200, std::uint16_t{1000});
  run->context.checkOnly = true;
  EXPECT_EQ((*run)(CommandId::NormalStretch, {"black=10", "white=200"}), CommandStatus::Done);
  EXPECT_EQ((*run)(CommandId::NormalStretch, {"black=10"}), CommandStatus::Usage);
  EXPECT_EQ((*run)(CommandId::NormalStretch, {"black=10", "white=200", "gamma=2"}), CommandStatus::Usage);
  EXPECT_EQ((*run)(CommandId::GaussianSmoother, {"extra"}), CommandStatus::Usage);
  EXPECT_EQ((*run)(CommandId::PowerLawStretch, {"p=0,5"}), CommandStatus::Usage);
  EXPECT_EQ((*run)(CommandId::SettingsSet, {"raRate=seven"}), CommandStatus::Usage);
  EXPECT_EQ(run->state.images.workImage[0], 1000);
  EXPECT_TRUE(run->state.images.history.lines[0].empty());
  // Each problem is one line naming the command.
  std::istringstream lines(run->err.str());
  for (std::string line; std::getline(lines, line);) EXPECT_EQ(line.rfind("command: ", 0), 0u) << line;
}

}  // namespace
}  // namespace qv
