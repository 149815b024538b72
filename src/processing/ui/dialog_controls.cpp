#include "processing/ui/dialog_controls.h"

#include <QBoxLayout>

#include "app/ui/control_name.h"
#include "app/ui/dialog_buttons.h"

namespace qv {

QScrollBar* MakeScrollBar(QWidget* parent, int id, int low, int high, int value) {
  auto* bar = Named(new QScrollBar(Qt::Horizontal, parent), id);
  bar->setRange(low, high);
  bar->setSingleStep(1);
  bar->setPageStep(10);
  bar->setValue(value);
  bar->setMinimumWidth(200);
  return bar;
}

QLineEdit* MakeEdit(QWidget* parent, int id, const QString& text) {
  auto* edit = Named(new QLineEdit(text, parent), id);
  edit->setMaximumWidth(80);
  return edit;
}

void AddDialogButtons(QDialog* dialog, QBoxLayout* layout, Host& host, const char* helpCaption, const char* helpText) {
  const std::string caption = helpCaption;
  const std::string text = helpText;
  DialogButtons buttons;
  buttons.onHelp = [&host, caption, text] { host.showMessage({caption, text, MessageIcon::None, -1}); };
  layout->addLayout(MakeDialogButtonRow(dialog, buttons).layout);
}

void OnScroll(QScrollBar* bar, std::function<void(int action)> step, std::function<int()> position) {
  QObject::connect(bar, &QAbstractSlider::actionTriggered, bar, [bar, step, position](int action) {
    step(action);
    bar->setSliderPosition(position());
  });
}

}  // namespace qv
