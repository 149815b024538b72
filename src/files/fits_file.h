#pragma once
// The program's FITS files: the writer of the four kinds (mono 16-bit,
// four-plane colour, RGB, mono 8-bit) and the positional reader.

#include <cstdint>
#include <string>
#include <vector>

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

enum class [[nodiscard]] FitsWriteResult : int{Ok = 0, Failed = 1};
enum class [[nodiscard]] FitsReadResult : int{Ok = 0, Unreadable = 1, NotOurShape = 2};

// Length of the one-block header files of an earlier version of the program.
inline constexpr long long kOneBlockFitsLength = 2'898'240;

// Writes `source` (the work image) with the header values of settings.fits.
// The kind follows the flags: colour-converted images give the four-plane
// file, or the RGB file from the plane work set while rgbFitsSave is set;
// eightBit gives the 8-bit file, which always holds the mono image only.
// Clears unsignedFormat and stores the pixel size it writes.
FitsWriteResult WriteFitsFile(ProgramState& state, Host& host, const std::string& path, const std::uint16_t* source);

// The same file's bytes, header and data, built in `out` instead of written:
// for sending an image to another program, so the data are padded to whole
// FITS blocks as general readers expect. The pixels are converted once,
// straight into `out`, whose capacity is kept between frames.
void ComposeFitsImage(ProgramState& state, const std::uint16_t* source, std::vector<std::uint8_t>& out);

// The pixel size the header records for the current frame.
void StoreFitsPixelSize(ProgramState& state);

// Reads a file of the program's layout into `destination` (the work image),
// restoring geometry, header values (starting from their reset values),
// history and the colour state. `fileLength` is the length the loader found.
// The header is checked and the data read into scratch first: a refused or
// short file changes nothing at all.
FitsReadResult ReadFitsFile(ProgramState& state, const std::string& path, std::uint16_t* destination,
                            long long fileLength);

// Empties the history and the header values a file read fills.
void ResetFitsHeaderValues(FitsHeaderInfo& info, ProcessingHistory& history);

}  // namespace qv
