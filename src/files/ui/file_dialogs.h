#pragma once
// The program's file dialogs: the filter lists of the save, open, TIFF and
// FITS commands, the remembered filter and folder.

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <string_view>

#include "files/files_state.h"

class QWidget;

namespace qv {

// "text|pattern|text|pattern|" as Qt name filters ("text (pattern)").
QStringList QtNameFilters(std::string_view filter);

struct FileDialogRequest {
  std::string_view filter;
  bool save = false;
  QString defaultExtension;  // "FIT", "TIF" or empty
  QString defaultName;
  QString caption;
};

// Runs the dialog; the chosen full path, or nothing when cancelled.
// Preselects the remembered filter, starts in the folder last used and
// remembers both for the next dialog.
std::optional<std::string> ChooseFile(QWidget* parent, FilesState& files, const FileDialogRequest& request);

}  // namespace qv
