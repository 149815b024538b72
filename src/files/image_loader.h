#pragma once
// Loading an image file: the reader is chosen by the file's length (raw,
// FITS, the headerless frame), else by the hot pixel map magic.

#include <string>

#include "app/host.h"
#include "app/program_state.h"
#include "files/file_io.h"

namespace qv {

enum class [[nodiscard]] LoadResult : int{Loaded = 0, Failed = 1, HotPixelMap = 2};

inline constexpr std::string_view kHotPixelMapMagic = "VeskHotPixelMap";
inline constexpr int kHotPixelMapMinimumLength = 20;

// "&Open...", "Load Hot Pixel Map File", the autosave sequence and the
// reference selections. Shows the messages of every failure; after a loaded
// image the display is rebuilt.
LoadResult LoadImageFile(ProgramState& state, Host& host, const std::string& path);

// Reads a hot pixel map from an open file of `length` bytes: never more
// indices than the list holds, nor more than the file holds. False when the
// file is no map.
[[nodiscard]] bool LoadHotPixelMap(ProgramState& state, Host& host, const FileHandle& file, long long length);

// "Load next &Autosaved File".
LoadResult LoadNextAutosavedFile(ProgramState& state, Host& host);

// The autosaved file number a name carries ("IMG12.FIT" gives 12), or 0.
int AutosaveNumberOf(const std::string& path);

}  // namespace qv
