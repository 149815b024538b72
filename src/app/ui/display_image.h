#pragma once
// The shown bitmap as a QImage, made from the same bytes the temporary
// bitmap file holds.

#include <QImage>

#include "app/display_state.h"

namespace qv {

// A null image when there is no bitmap yet.
QImage DisplayImage(const DisplayState& display);

}  // namespace qv
