#include "processing/ui/merge_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/ui/command_handlers.h"
#include "app/ui/control_name.h"
#include "app/ui/qt_host.h"
#include "processing/merge_images.h"

namespace qv {

namespace {

constexpr const char* kMergeHelp =
    "Mark the position in the displayed image by pressing the left Mouse button. Then load the image to be merged "
    "by using the File/Open Menu Option. Mark the position to be matched on, and press the MERGE button.\n\nCheck "
    "the Average box if you want an average rather than addition.\n\nIf you want to set x and y shift to zero "
    "select superimpose.";

QLineEdit* Coordinate(QWidget* parent, int id) {
  auto* edit = Named(new QLineEdit(parent), id);
  edit->setReadOnly(true);
  return edit;
}

const char* Flag(bool on) { return on ? "1" : "0"; }

}  // namespace

TMergeDialog::TMergeDialog(UiContext& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
  setObjectName("dialog13");
  setWindowTitle("MERGE IMAGES");
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(this);
  auto* grid = new QGridLayout(group);
  // The image the next mark goes to follows the merge: the base image until
  // the second image is opened.
  original_ = Named(new QRadioButton("Original  Image", group), 101);
  second_ = Named(new QRadioButton("Merge Image", group), 102);
  original_->setEnabled(false);
  second_->setEnabled(false);
  baseX_ = Coordinate(group, 104);
  baseY_ = Coordinate(group, 106);
  mergeX_ = Coordinate(group, 105);
  mergeY_ = Coordinate(group, 107);
  grid->addWidget(new QLabel("x         y", group), 0, 1, 1, 2);
  grid->addWidget(original_, 1, 0);
  grid->addWidget(baseX_, 1, 1);
  grid->addWidget(baseY_, 1, 2);
  grid->addWidget(second_, 2, 0);
  grid->addWidget(mergeX_, 2, 1);
  grid->addWidget(mergeY_, 2, 2);
  layout->addWidget(group);

  ProgramState& state = ui.state;
  average_ = Named(new QCheckBox("Average", this), 103);
  special_ = Named(new QCheckBox("Special Average", this), 1310);
  centre_ = Named(new QCheckBox("Centre", this), 17186);
  superimpose_ = Named(new QCheckBox("Superimpose", this), 17185);
  const std::pair<QCheckBox*, void (*)(ProgramState&, bool)> boxes[] = {{average_, SetMergeAverage},
                                                                        {special_, SetMergeSpecialAverage},
                                                                        {centre_, SetMergeCentre},
                                                                        {superimpose_, SetMergeSuperimpose}};
  for (const auto& [box, set] : boxes) {
    layout->addWidget(box);
    connect(box, &QCheckBox::clicked, this, [this, &state, set = set](bool on) {
      set(state, on);
      refresh();
    });
  }

  auto* buttons = new QHBoxLayout;
  auto* merge = new QPushButton("Merge", this);
  auto* cancel = new QPushButton("Cancel", this);
  auto* help = new QPushButton("Help", this);
  buttons->addWidget(merge);
  buttons->addWidget(cancel);
  buttons->addWidget(help);
  layout->addLayout(buttons);
  connect(merge, &QPushButton::clicked, this, [this, &state] {
    const ProcessingState::Merge& m = state.processing.merge;
    // The command has shown its own messages; the refresh shows the merge state.
    static_cast<void>(RunFromWindow(ui_, CommandId::MergeRun,
                                    WindowArgs({{"average", Flag(m.average)},
                                                {"special", Flag(m.specialAverage)},
                                                {"superimpose", Flag(m.superimpose)}})));
    refresh();
  });
  connect(cancel, &QPushButton::clicked, this, [this] {
    static_cast<void>(RunFromWindow(ui_, CommandId::MergeCancel));
    refresh();
  });
  connect(help, &QPushButton::clicked, this, [this] {
    ui_.host.showMessage({"Qel_K8_USB - Merge Images", kMergeHelp, MessageIcon::None, -1});
  });
  // Closing the dialog ends the merge as "Cancel" does.
  connect(this, &QDialog::rejected, this, [this] {
    if (ui_.state.processing.merge.mergeMode) static_cast<void>(RunFromWindow(ui_, CommandId::MergeCancel));
  });
  refresh();
}

void TMergeDialog::refresh() {
  const ProcessingState::Merge& m = ui_.state.processing.merge;
  if (!m.mergeMode) {
    close();
    return;
  }
  original_->setChecked(m.pickingBase != 0);
  second_->setChecked(m.pickingBase == 0);
  baseX_->setText(QString::number(m.baseX));
  baseY_->setText(QString::number(m.baseY));
  mergeX_->setText(QString::number(m.mergeX));
  mergeY_->setText(QString::number(m.mergeY));
  average_->setChecked(m.average);
  special_->setChecked(m.specialAverage);
  centre_->setChecked(m.centre);
  superimpose_->setChecked(m.superimpose);
}

}  // namespace qv
