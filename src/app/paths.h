#pragma once
// Where the program keeps its files. The data root stands for the drive the
// program's fixed paths name ("c:\..."); every such path is turned into a
// native one here and nowhere else.

#include <string>
#include <string_view>

namespace qv {

struct DataPaths {
  std::string root;  // the data root, without a trailing slash
};

// The data root: $QELVESK_ROOT, else ~/QelVesk.
std::string DefaultDataRoot();

// "c:\autosave\X" (any case of "autosave") -> <root>/autosave/X;
// "c:\X" -> <root>/X; any other text is taken as a native path as it is.
std::string NativePath(const DataPaths& paths, std::string_view programPath);

// The program's fixed paths.
inline constexpr std::string_view kSettingsFilePath = "c:\\autosave\\Qel_K1C.ini";
inline constexpr std::string_view kAutosaveFolder = "c:\\autosave";
inline constexpr std::string_view kDefaultAutosaveDirectory = "c:\\AUTOSAVE";

}  // namespace qv
