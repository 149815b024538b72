#pragma once
// The file commands in the window: the file dialogs that choose what to open
// or where to save, and the dialogs that edit the FITS texts and the
// automatic processing choices.

#include "app/ui/command_handlers.h"

namespace qv {

// Each asks for the file (and the FITS details before a FITS save); the
// command then runs with the path as its argument.
const CommandDialogs& FilesDialogs();

}  // namespace qv
