// qelvesk: the camera control and image processing program.

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <memory>

#include "app/startup.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_host.h"
#include "app/virtual_clock.h"
#include "platform/linux_usb_bus.h"
#include "sim/sim_world.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Qt takes the user's locale; numbers in files and headers are always
  // written and read with a decimal point.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName("Qel_Vesk_USB");

  QCommandLineParser parser;
  parser.setApplicationDescription("Camera control and image processing for a cooled one-shot colour CCD camera.");
  parser.addHelpOption();
  QCommandLineOption simulate("simulate", "Use the simulated camera, filter wheel and mount instead of USB.");
  QCommandLineOption virtualClock(
      "virtual-clock",
      "Run on a virtual clock that starts at the UT time YYYY-MM-DDTHH:MM:SS (default 2000-01-01T00:00:00): "
      "waits end at once and the calendar moves on by the time waited.",
      "UT");
  QCommandLineOption traceSerial(
      "trace-serial", "Append every serial text sent and reply read to FILE (sent/recv port=P \"...\").", "FILE");
  QCommandLineOption root("root", "Data root (default $QELVESK_ROOT, else ~/QelVesk).", "DIR");
  // For documentation and checks: run command ids after start, save a
  // picture of the main window and quit.
  QCommandLineOption run("run", "Command ids to run after start, separated by commas.", "IDS");
  QCommandLineOption screenshot("screenshot", "Save a picture of the main window to FILE and quit.", "FILE");
  QCommandLineOption delay("screenshot-delay", "Wait MS milliseconds before the picture (default 300).", "MS", "300");
  for (auto* hidden : {&run, &screenshot, &delay}) hidden->setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOptions({simulate, virtualClock, traceSerial, root, run, screenshot, delay});
  // The virtual clock's time may be left out: "--virtual-clock" alone takes
  // the default start, which the parser would otherwise refuse.
  QStringList arguments = QApplication::arguments();
  for (QString& argument : arguments) {
    if (argument == "--virtual-clock" || argument == "-virtual-clock") {
      argument = "--virtual-clock=2000-01-01T00:00:00";
    }
  }
  parser.process(arguments);
  std::unique_ptr<qv::VirtualClock> virtualStart;
  if (parser.isSet(virtualClock)) {
    const std::string text = parser.value(virtualClock).toStdString();
    const auto start = qv::ParseUtDateTime(text);
    if (!start) {
      std::fprintf(stderr, "qelvesk: --virtual-clock takes a UT time YYYY-MM-DDTHH:MM:SS, not '%s'\n", text.c_str());
      return 2;
    }
    virtualStart = std::make_unique<qv::VirtualClock>(*start);
  }

  auto state = std::make_unique<qv::ProgramState>();
  state->paths.root = parser.isSet(root) ? parser.value(root).toStdString() : qv::DefaultDataRoot();
  state->camera.link.makeBus = parser.isSet(simulate) ? qv::sim::MakeSimulatedDevices : qv::MakeRealDevices;
  if (parser.isSet(traceSerial)) state->camera.link.traceSerialPath = parser.value(traceSerial).toStdString();

  qv::QtHost host;
  if (virtualStart) host.useClock(*virtualStart);
  qv::RunStartup(*state, host);
  qv::TQel_VeskFrame frame(*state, host);
  frame.show();

  const QStringList ids = parser.value(run).split(',', Qt::SkipEmptyParts);
  QTimer::singleShot(0, &frame, [&frame, ids] {
    for (const QString& id : ids) frame.dispatch(static_cast<qv::CommandId>(id.trimmed().toInt()));
  });
  if (parser.isSet(screenshot)) {
    const QString file = parser.value(screenshot);
    QTimer::singleShot(parser.value(delay).toInt(), &frame, [&frame, file] {
      const bool saved = frame.grab().save(file);
      QApplication::exit(saved ? 0 : 1);
    });
  }
  return QApplication::exec();
}
