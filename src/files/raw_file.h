#pragma once
// The program's raw ("Pell") files: the frame as it lies in memory, the
// colour planes of a colour-converted image, and a 10-byte tag that says how
// the frame was read.

#include <array>
#include <string>

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr int kRawTagBytes = 10;
// A headerless, tagless full frame of 1392 x 1040 pixels, read in ten blocks.
inline constexpr long long kHeaderlessFrameLength = 2'895'360;
inline constexpr int kHeaderlessBlocks = 10;
inline constexpr int kHeaderlessBlockBytes = 289'536;

using RawTag = std::array<char, kRawTagBytes>;

enum class [[nodiscard]] RawResult : int{Ok = 0, Failed = 1};
enum class SecondFilePurpose { Dark, Flat, Merge };

// The tag a raw or flat save of the current frame ends with.
RawTag RawFileTag(const ProgramState& state);
// Flat files: "FLAT B " with the geometry digit when binned, "FLATH  1" for a
// full frame; nothing for an unbinned frame of another read-out.
[[nodiscard]] bool FlatFileTag(const ProgramState& state, RawTag& tag);

// "&Save..." without a save mode: frame, colour planes when converted, tag.
RawResult WriteRawFile(ProgramState& state, Host& host, const std::string& path);
// "Save Fl&at File": colour-converted images only; the frame and a flat tag.
RawResult WriteFlatFile(ProgramState& state, Host& host, const std::string& path);
// The raw branch of the loader; `length` is one the loader matched.
RawResult ReadRawFile(ProgramState& state, const std::string& path, long long length);
// A raw file into the scratch image for dark subtraction, flat field or merge.
RawResult ReadSecondRawFile(ProgramState& state, Host& host, const std::string& path, SecondFilePurpose purpose);

}  // namespace qv
