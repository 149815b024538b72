#include "app/command_args.h"

#include <cctype>

namespace qv {

std::optional<std::vector<std::string>> SplitWords(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else if (c == '\'') {
      const std::size_t end = line.find('\'', i + 1);
      if (end == std::string_view::npos) return std::nullopt;
      word.append(line.substr(i + 1, end - i - 1));
      i = end;
      inWord = true;
    } else if (c == '"') {
      inWord = true;
      for (++i;; ++i) {
        if (i >= line.size()) return std::nullopt;
        if (line[i] == '"') break;
        if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) ++i;
        word += line[i];
      }
    } else if (c == '\\' && i + 1 < line.size()) {
      word += line[++i];
      inWord = true;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

const std::string* CommandArgs::option(std::string_view key) const {
  for (const auto& [k, v] : options) {
    if (k == key) return &v;
  }
  return nullptr;
}

CommandArgs ParseCommandWords(const std::vector<std::string>& words) {
  CommandArgs command;
  if (words.empty()) return command;
  command.name = words[0];
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::size_t eq = words[i].find('=');
    if (eq != std::string::npos && eq > 0) {
      command.options.emplace_back(words[i].substr(0, eq), words[i].substr(eq + 1));
    } else {
      command.positional.push_back(words[i]);
    }
  }
  return command;
}

}  // namespace qv
