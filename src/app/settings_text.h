#pragma once
// The settings as name=value text, for listing and for setting them by name.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/program_settings.h"

namespace qv {

// Every stored variable once, in file order, as (name, value). Long texts
// show a line break as "\n"; the eight filter names are joined with ",".
std::vector<std::pair<std::string, std::string>> ListSettings(const ProgramSettings& settings);

// Sets every name=value pair, or none: on the first unknown name or bad value
// nothing changes and the error says which.
std::optional<std::string> SetSettingsByName(ProgramSettings& settings,
                                             const std::vector<std::pair<std::string, std::string>>& values);

}  // namespace qv
