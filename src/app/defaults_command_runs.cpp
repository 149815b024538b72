#include "app/defaults_command_runs.h"

#include "app/arg_reader.h"
#include "app/program_defaults.h"

namespace qv {

namespace {

constexpr std::string_view kFilterCountName = "filterCount";
constexpr std::string_view kFilterNamesName = "filterNames";
constexpr std::string_view kAutosaveName = "autosaveDir";

const DefaultsRadioGroup* FindRadio(std::string_view name) {
  for (const auto& group : DefaultsRadioGroups()) {
    if (group.name == name) return &group;
  }
  return nullptr;
}

const DefaultsCheckBox* FindCheck(std::string_view name) {
  for (const auto& box : DefaultsCheckBoxes()) {
    if (box.shown && box.name == name) return &box;
  }
  return nullptr;
}

int FindSlew(std::string_view name) {
  const auto& fields = SlewFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

int ChoiceIndex(const DefaultsRadioGroup& group, std::string_view value) {
  for (std::size_t i = 0; i < group.choices.size(); ++i) {
    if (group.choices[i].cliValue == value) return static_cast<int>(i);
  }
  return -1;
}

std::optional<bool> YesNo(std::string_view value) {
  if (value == "y" || value == "1") return true;
  if (value == "n" || value == "0") return false;
  return std::nullopt;
}

// Names given replace the first ones; the rest stay as they are.
void SplitNames(std::string_view text, std::array<std::string, 8>& names) {
  std::size_t i = 0;
  while (i < names.size()) {
    const auto comma = text.find(',');
    names[i++] = std::string(text.substr(0, comma));
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
}

// The problem with one name=value pair, or nothing when it is good.
std::optional<std::string> PairProblem(const std::string& name, const std::string& value) {
  if (const auto* group = FindRadio(name)) {
    if (ChoiceIndex(*group, value) >= 0) return std::nullopt;
    std::string choices;
    for (const auto& choice : group->choices) {
      if (!choices.empty()) choices += '|';
      choices += choice.cliValue;
    }
    return name + " must be one of " + choices;
  }
  if (FindCheck(name)) {
    if (YesNo(value)) return std::nullopt;
    return name + " takes y or n";
  }
  if (FindSlew(name) >= 0) {
    if (ParseWholeNumber(value)) return std::nullopt;
    return name + " must be a whole number";
  }
  if (name == kFilterCountName) {
    if (ParseWholeNumber(value)) return std::nullopt;
    return name + " must be a whole number";
  }
  if (name == kFilterNamesName || name == kAutosaveName) return std::nullopt;
  return "unknown control '" + name + "' (see defaults-show)";
}

}  // namespace

CommandStatus RunDefaultsShow(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  RefreshDefaults(c.state);
  const ProgramState& state = c.state;
  const ProgramSettings& s = state.settings;
  for (const auto& group : DefaultsRadioGroups()) {
    const int chosen = CurrentChoice(state, group.radio);
    c.out << group.name << '=' << (chosen >= 0 ? group.choices[static_cast<std::size_t>(chosen)].cliValue : "") << '\n';
  }
  for (const auto& box : DefaultsCheckBoxes()) {
    if (box.shown) c.out << box.name << '=' << (CheckState(state, box.check) ? 'y' : 'n') << '\n';
  }
  for (const auto& field : SlewFields()) c.out << field.name << '=' << s.*(field.member) << '\n';
  c.out << kFilterCountName << '=' << s.filterCount << '\n' << kFilterNamesName << '=';
  for (std::size_t i = 0; i < s.filterNames.size(); ++i) c.out << (i ? "," : "") << s.filterNames[i].view();
  c.out << "\nfilterWheelStatus=" << FilterWheelStatus(state) << '\n'
        << kAutosaveName << '=' << s.autosaveDirectory.view() << "\naoComPort=" << AoPortText(s)
        << "\nlastNum=" << s.lastFileNumber << '\n';
  return CommandStatus::Done;
}

// The pairs act in order as the dialog's controls do: a radio button or
// check box at once, slew values as "Set slew values" with the other fields
// as they are, the filter count and names as "Set Filter Details", the folder
// as "Set AutoSave Dir". Nothing is saved (see defaults-save).
CommandStatus RunDefaultsSet(CommandContext& c, const CommandArgs& args) {
  if (args.options.empty() || !args.positional.empty()) {
    c.err << args.name << ": give control=value pairs (see defaults-show)\n";
    return CommandStatus::Usage;
  }
  for (const auto& [name, value] : args.options) {
    if (auto problem = PairProblem(name, value)) {
      c.err << args.name << ": " << *problem << '\n';
      return CommandStatus::Usage;
    }
  }
  if (c.checkOnly) return CommandStatus::Done;

  ProgramState& state = c.state;
  ProgramSettings& s = state.settings;
  RefreshDefaults(state);
  for (const auto& [name, value] : args.options) {
    if (const auto* group = FindRadio(name)) {
      Choose(state, c.host, group->radio, ChoiceIndex(*group, value));
    } else if (const auto* box = FindCheck(name)) {
      if (CheckState(state, box->check) != *YesNo(value) && !ClickCheck(state, c.host, c.clock, box->check)) {
        return CommandStatus::Refused;
      }
    } else if (const int slew = FindSlew(name); slew >= 0) {
      std::array<std::optional<long>, kSlewFieldCount> values{};
      values[static_cast<std::size_t>(slew)] = ParseWholeNumber(value);
      SetSlewValues(s, values);
    } else if (name == kFilterCountName || name == kFilterNamesName) {
      std::array<std::string, 8> names;
      for (std::size_t i = 0; i < names.size(); ++i) names[i] = s.filterNames[i].str();
      std::optional<long> count = s.filterCount;
      if (name == kFilterCountName) count = ParseWholeNumber(value);
      if (name == kFilterNamesName) SplitNames(value, names);
      SetFilterDetails(s, count, names);
    } else if (name == kAutosaveName) {
      if (!SetAutosaveDirectory(state, c.host, value)) return CommandStatus::Refused;
    }
    RefreshDefaults(state);
  }
  return CommandStatus::Done;
}

// "Save Changes" with the fields as they are: the folder and slew values are
// accepted again, then the settings are saved and the telescope link set up.
CommandStatus RunDefaultsSave(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  ProgramSettings& s = c.state.settings;
  std::array<std::optional<long>, kSlewFieldCount> slew{};
  const auto& fields = SlewFields();
  for (std::size_t i = 0; i < fields.size(); ++i) slew[i] = s.*(fields[i].member);
  if (!AcceptDefaults(c.state, c.host, s.autosaveDirectory.str(), slew)) return CommandStatus::Refused;
  return FinishDefaults(c.state, c.host, c.clock) ? CommandStatus::Done : CommandStatus::Refused;
}

}  // namespace qv
