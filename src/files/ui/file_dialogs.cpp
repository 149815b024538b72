#include "files/ui/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>

#include "files/save_commands.h"

namespace qv {

QStringList QtNameFilters(std::string_view filter) {
  QStringList parts = QString::fromUtf8(filter.data(), static_cast<int>(filter.size())).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) continue;
    filters << parts[i] + " (" + parts[i + 1] + ")";
  }
  return filters;
}

std::optional<std::string> ChooseFile(QWidget* parent, FilesState& files, const FileDialogRequest& request) {
  QFileDialog dialog(parent, request.caption);
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  const QStringList filters = QtNameFilters(request.filter);
  dialog.setNameFilters(filters);
  const int index = files.filterIndex - 1;
  if (index >= 0 && index < filters.size()) dialog.selectNameFilter(filters[index]);
  if (!request.defaultExtension.isEmpty()) dialog.setDefaultSuffix(request.defaultExtension);
  if (!files.lastDirectory.empty()) dialog.setDirectory(QString::fromStdString(files.lastDirectory));
  if (!request.defaultName.isEmpty() && !request.defaultName.contains('*')) dialog.selectFile(request.defaultName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;

  const QFileInfo chosen(dialog.selectedFiles().first());
  files.lastDirectory = chosen.absolutePath().toStdString();
  files.filterIndex = FilterIndexAfterDialog(request.defaultExtension.toStdString(), chosen.fileName().toStdString());
  return chosen.absoluteFilePath().toStdString();
}

}  // namespace qv
