#pragma once
// The numbered messages the program gives the user, and the routine that
// shows them.

#include <string>
#include <string_view>

#include "app/host.h"

namespace qv {

inline constexpr std::string_view kMessageCaption = "QEL_VESK_USB";
inline constexpr int kMessageTextBytes = 256;  // at most 255 characters shown
inline constexpr int kCallerTextMessage = 50;

// The text of a numbered message; empty for a number without an entry.
std::string_view MessageText(int number);

// Shows message `number` in a box captioned "QEL_VESK_USB" with an OK button
// and no icon. Number 50 shows `text` (cut to 255 characters); every other
// number ignores it, and a number without an entry shows an empty box.
int ShowMessage(Host& host, int number, std::string_view text = {});

}  // namespace qv
