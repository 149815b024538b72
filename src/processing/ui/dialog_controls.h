#pragma once
// Controls shared by the processing dialogs: scroll bars and edits named by
// their control ids, the OK / Cancel / Help row, and the help box.

#include <QDialog>
#include <QLineEdit>
#include <QScrollBar>
#include <QString>
#include <functional>

#include "app/host.h"

class QBoxLayout;

namespace qv {

QScrollBar* MakeScrollBar(QWidget* parent, int id, int low, int high, int value);
QLineEdit* MakeEdit(QWidget* parent, int id, const QString& text);

// Buttons "OK" (id 1), "Cancel" (id 2) and "Help" (id 9); Help shows the box.
void AddDialogButtons(QDialog* dialog, QBoxLayout* layout, Host& host, const char* helpCaption, const char* helpText);

// Calls `step` with the scroll action (QAbstractSlider::SliderAction) and then
// puts the bar at the position `position` returns, so the bar only ever
// shows the value the dialog's rules allow.
void OnScroll(QScrollBar* bar, std::function<void(int action)> step, std::function<int()> position);

}  // namespace qv
