#include "app/paths.h"

#include <cctype>
#include <cstdlib>

namespace qv {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

}  // namespace

std::string DefaultDataRoot() {
  if (const char* root = std::getenv("QELVESK_ROOT"); root && *root) return root;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/QelVesk";
}

std::string NativePath(const DataPaths& paths, std::string_view programPath) {
  if (!StartsWithNoCase(programPath, "c:\\") && !StartsWithNoCase(programPath, "c:/")) {
    return std::string(programPath);
  }
  std::string rest(programPath.substr(3));
  for (char& c : rest) {
    if (c == '\\') c = '/';
  }
  // The autosave folder is spelled in three cases; it is one folder.
  if (StartsWithNoCase(rest, "autosave") && (rest.size() == 8 || rest[8] == '/')) {
    rest.replace(0, 8, "autosave");
  }
  std::string result = paths.root;
  if (!rest.empty()) result += "/" + rest;
  return result;
}

}  // namespace qv
