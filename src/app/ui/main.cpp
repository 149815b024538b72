// qelvesk: the camera control and image processing program.

#include <QApplication>
#include <QCommandLineParser>
#include <memory>

#include "app/startup.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_host.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Qel_Vesk_USB");

  QCommandLineParser parser;
  parser.setApplicationDescription("Camera control and image processing for a cooled one-shot colour CCD camera.");
  parser.addHelpOption();
  QCommandLineOption simulate("simulate", "Use the simulated camera, filter wheel and mount instead of USB.");
  QCommandLineOption root("root", "Data root (default $QELVESK_ROOT, else ~/QelVesk).", "DIR");
  parser.addOption(simulate);
  parser.addOption(root);
  parser.process(app);

  auto state = std::make_unique<qv::ProgramState>();
  state->paths.root = parser.isSet(root) ? parser.value(root).toStdString() : qv::DefaultDataRoot();
  state->simulate = parser.isSet(simulate);

  qv::QtHost host;
  qv::RunStartup(*state, host);
  qv::TQel_VeskFrame frame(*state, host);
  frame.show();
  return QApplication::exec();
}
