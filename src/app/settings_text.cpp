#include "app/settings_text.h"

#include <charconv>
#include <cstdio>
#include <limits>

#include "app/settings_fields.h"
#include "app/settings_file.h"

namespace qv {

namespace {

std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n')
      out += "\\n";
    else if (c == '\\')
      out += "\\\\";
    else
      out += c;
  }
  return out;
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char next = text[++i];
      out += next == 'n' ? '\n' : next;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string FormatDouble(double value) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, end) : "0";
}

template <typename T>
bool ParseNumber(std::string_view text, T& out) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool ParseFlag(std::string_view text, bool& out) {
  if (text == "y" || text == "1")
    out = true;
  else if (text == "n" || text == "0")
    out = false;
  else
    return false;
  return true;
}

std::string Format(const SettingsField& field) {
  using K = FieldKind;
  switch (field.kind) {
    case K::Int16:
      return std::to_string(*std::get<std::int16_t*>(field.target));
    case K::UInt16:
      return std::to_string(*std::get<std::uint16_t*>(field.target));
    case K::WholeFloat:
      return FormatDouble(*std::get<float*>(field.target));
    case K::YesNo:
    case K::AlwaysNo:
      return *std::get<bool*>(field.target) ? "y" : "n";
    case K::OneZero:
      return *std::get<bool*>(field.target) ? "1" : "0";
    case K::Letters:
    case K::LayoutMarker:
      return std::string(std::get<char*>(field.target), static_cast<std::size_t>(field.size));
    case K::Card:
      return Escape(std::get<FixedText<70>*>(field.target)->view());
    case K::LongText:
      return Escape(std::get<FixedText<257>*>(field.target)->view());
    case K::Double:
      return FormatDouble(*std::get<double*>(field.target));
    case K::Path:
      return std::get<FixedText<100>*>(field.target)->str();
    case K::FilterNames: {
      std::string joined;
      for (const auto& name : *std::get<std::array<FixedText<10>, 8>*>(field.target)) {
        if (!joined.empty()) joined += ',';
        joined += name.view();
      }
      return joined;
    }
    case K::Pid:
      return std::get<FixedText<5>*>(field.target)->str();
  }
  return {};
}

// Rates divide later: they are at least 1.
bool IsRate(std::string_view name) {
  return name == "raRate" || name == "decRate" || name == "guiderRaRate" || name == "guiderDecRate";
}

// Parses `text` into the field's variable; an error text when it does not fit.
std::optional<std::string> Parse(const SettingsField& field, std::string_view text) {
  using K = FieldKind;
  const std::string bad = "bad value '" + std::string(text) + "' for " + std::string(field.name);
  switch (field.kind) {
    case K::Int16: {
      int value;
      if (!ParseNumber(text, value) || value < std::numeric_limits<std::int16_t>::min() ||
          value > std::numeric_limits<std::int16_t>::max()) {
        return bad + " (a whole number from -32768 to 32767)";
      }
      *std::get<std::int16_t*>(field.target) = static_cast<std::int16_t>(value);
      return std::nullopt;
    }
    case K::UInt16: {
      int value;
      if (!ParseNumber(text, value) || value < 0 || value > std::numeric_limits<std::uint16_t>::max()) {
        return bad + " (a whole number from 0 to 65535)";
      }
      *std::get<std::uint16_t*>(field.target) = static_cast<std::uint16_t>(value);
      return std::nullopt;
    }
    case K::WholeFloat: {
      double value;
      if (!ParseNumber(text, value) || value < -32768 || value > 32767) return bad + " (a number)";
      *std::get<float*>(field.target) = static_cast<float>(value);
      return std::nullopt;
    }
    case K::YesNo:
    case K::AlwaysNo:
    case K::OneZero:
      if (!ParseFlag(text, *std::get<bool*>(field.target))) return bad + " (y or n, 1 or 0)";
      return std::nullopt;
    case K::Letters:
    case K::LayoutMarker:
      if (text.size() != static_cast<std::size_t>(field.size)) {
        return bad + " (exactly " + std::to_string(field.size) + " letter" + (field.size > 1 ? "s)" : ")");
      }
      std::copy(text.begin(), text.end(), std::get<char*>(field.target));
      return std::nullopt;
    case K::Card: {
      const std::string value = Unescape(text);
      if (value.size() > FixedText<70>::kMaxLength) return bad + " (at most 69 characters)";
      std::get<FixedText<70>*>(field.target)->set(value);
      return std::nullopt;
    }
    case K::LongText: {
      const std::string value = Unescape(text);
      if (value.size() > 255) return bad + " (at most 255 characters)";
      std::get<FixedText<257>*>(field.target)->set(value);
      return std::nullopt;
    }
    case K::Double: {
      double value;
      if (!ParseNumber(text, value)) return bad + " (a number)";
      *std::get<double*>(field.target) = value;
      return std::nullopt;
    }
    case K::Path:
      if (text.size() > FixedText<100>::kMaxLength) return bad + " (at most 99 characters)";
      std::get<FixedText<100>*>(field.target)->set(text);
      return std::nullopt;
    case K::FilterNames: {
      std::array<FixedText<10>, 8> names{};
      std::size_t start = 0;
      for (std::size_t i = 0; i < names.size(); ++i) {
        const std::size_t comma = text.find(',', start);
        const std::string_view name = text.substr(start, comma == std::string_view::npos ? text.npos : comma - start);
        if (name.size() > FixedText<10>::kMaxLength) return bad + " (names of at most 9 characters)";
        names[i].set(name);
        if (comma == std::string_view::npos) {
          if (i + 1 != names.size()) return bad + " (eight names separated by commas)";
          start = text.npos;
          break;
        }
        start = comma + 1;
      }
      if (start != text.npos) return bad + " (eight names separated by commas)";
      *std::get<std::array<FixedText<10>, 8>*>(field.target) = names;
      return std::nullopt;
    }
    case K::Pid:
      if (text.size() != 4) return bad + " (four digits)";
      std::get<FixedText<5>*>(field.target)->set(text);
      return std::nullopt;
  }
  return bad;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> ListSettings(const ProgramSettings& settings) {
  ProgramSettings copy = settings;
  std::vector<std::pair<std::string, std::string>> list;
  for (const auto& field : SettingsFields(copy)) {
    if (!field.repeat) list.emplace_back(std::string(field.name), Format(field));
  }
  return list;
}

std::optional<std::string> SetSettingsByName(ProgramSettings& settings,
                                             const std::vector<std::pair<std::string, std::string>>& values) {
  ProgramSettings changed = settings;
  const auto fields = SettingsFields(changed);
  for (const auto& [name, value] : values) {
    const SettingsField* found = nullptr;
    for (const auto& field : fields) {
      if (field.name == name && !field.repeat) found = &field;
    }
    if (!found) return "unknown setting '" + name + "'";
    if (auto error = Parse(*found, value)) return error;
    if (IsRate(found->name) && *std::get<std::int16_t*>(found->target) < 1) {
      return "bad value '" + value + "' for " + name + " (a rate of at least 1)";
    }
  }
  // A value the file would store but refuse when it is next read (a backlash
  // of 31 to 49, say) would make that read drop every later setting.
  ProgramSettings readBack = changed;
  const SettingsReadResult read = DecodeSettings(EncodeSettings(changed), readBack);
  if (read.kind != SettingsReadResult::Kind::Complete) {
    for (const auto& field : fields) {
      if (field.offset == read.fieldOffset) {
        return "bad value for " + std::string(field.name) + " (the settings file would not read it back)";
      }
    }
    return std::string("the settings file would not read these values back");
  }
  settings = changed;
  return std::nullopt;
}

}  // namespace qv
