#pragma once
// The automatic processing choices the exposure sequencer applies to every
// new frame, as the "Auto-Processing Choices" dialog edits them.

#include <string>
#include <string_view>

#include "app/auto_processing_limits.h"
#include "app/program_settings.h"

namespace qv {

enum class AutoStretch { None, Weak, Strong, User };

inline constexpr std::string_view kAutoHelpCaption = "LUMK8 - Auto Processing";
inline constexpr std::string_view kAutoHelpText =
    "To process images as they are taken choose from these options. You can select various non-linear "
    "stretches, a high pass or Unsharp mask filter.\n\nFor more control save raw images and apply all image "
    "processing later.";

// The stretch in force (weak first, then strong, then user).
AutoStretch CurrentAutoStretch(const ProgramSettings& settings);
// Sets one stretch flag and clears the other two (none clears all three).
void SetAutoStretch(ProgramSettings& settings, AutoStretch stretch);

// "Save": each number within the dialog's range is taken; true when all
// three are.
[[nodiscard]] bool ApplyAutoNumbers(ProgramSettings& settings, const std::string& userPower,
                                    const std::string& unsharpRadius, const std::string& unsharpPower);

}  // namespace qv
