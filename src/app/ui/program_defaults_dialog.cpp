#include "app/ui/program_defaults_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace qv {

namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
QString Id(int id) { return QString("ctl%1").arg(id); }

QGroupBox* Group(QWidget* parent, const QString& title, int id = 0) {
  auto* box = new QGroupBox(title, parent);
  if (id) box->setObjectName(Id(id));
  new QVBoxLayout(box);
  return box;
}

QPushButton* Button(QWidget* parent, int id, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(Id(id));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TINIDialog::TINIDialog(ProgramState& state, Host& host, Clock& clock, QWidget* parent)
    : QDialog(parent), state_(state), host_(host), clock_(clock) {
  setObjectName("dialog17");
  setWindowTitle("Set Program Defaults");
  setModal(true);
  auto* grid = new QGridLayout(this);

  // Column 0: the cameras and the display.
  auto* cameras = new QVBoxLayout;
  cameras->addWidget(makeRadioGroup(DefaultsRadio::CameraModel, "Camera Type"));
  cameras->addWidget(makeRadioGroup(DefaultsRadio::GuiderCamera, "Type of Guider Camera"));
  cameras->addWidget(makeRadioGroup(DefaultsRadio::Background, "Window Background"));
  auto* colour = Group(this, "Colour Conversion Parameters");
  colour->layout()->addWidget(makeCheck(DefaultsCheck::PixelOffset));
  colour->layout()->addWidget(makeCheck(DefaultsCheck::LineOffset));
  cameras->addWidget(colour);
  auto* tiff = Group(this, "Tiff Format (8 or 16 bit)");
  tiff->layout()->addWidget(makeCheck(DefaultsCheck::Tiff16Bit));
  cameras->addWidget(tiff);
  for (auto check :
       {DefaultsCheck::UnsignedFits, DefaultsCheck::ShowInterfaceDetails, DefaultsCheck::IgnoreCameraVidPid,
        DefaultsCheck::UseSavedCooling, DefaultsCheck::MaximumCooling, DefaultsCheck::FocusDelay}) {
    cameras->addWidget(makeCheck(check));
  }
  cameras->addStretch();
  grid->addLayout(cameras, 0, 0);

  // Column 1: the telescope and guiding.
  auto* guiding = new QVBoxLayout;
  auto* ports = Group(this, "Com Port for telescope control", 17146);
  ports->layout()->addWidget(makeRadioGroup(DefaultsRadio::Port, "Com Port Usage"));
  guiding->addWidget(ports);
  guiding->addWidget(makeRadioGroup(DefaultsRadio::Guiding, "Telescope Guiding"));
  auto* mask = Group(this, "Radius of Guide Star Mask", 17177);
  mask->layout()->addWidget(makeRadioGroup(DefaultsRadio::MaskRadius, QString()));
  guiding->addWidget(mask);
  auto* training = Group(this, "Default Guide Training Time", 17145);
  auto* trainingRow = new QHBoxLayout;
  trainingRow->addWidget(makeRadioGroup(DefaultsRadio::TrainingTime, "Main Camera"));
  trainingRow->addWidget(makeRadioGroup(DefaultsRadio::GuiderTrainingTime, "Autoguider"));
  static_cast<QVBoxLayout*>(training->layout())->addLayout(trainingRow);
  guiding->addWidget(training);
  auto* drift = Group(this, QString());
  drift->layout()->addWidget(makeCheck(DefaultsCheck::IgnoreSmallDrift));
  drift->layout()->addWidget(makeRadioGroup(DefaultsRadio::Drift, QString()));
  guiding->addWidget(drift);
  for (auto check : {DefaultsCheck::NorthCorrectionsOff, DefaultsCheck::SouthCorrectionsOff,
                     DefaultsCheck::SwapNorthSouth, DefaultsCheck::SwapEastWest, DefaultsCheck::IgnoreBacklash}) {
    guiding->addWidget(makeCheck(check));
  }
  guiding->addStretch();
  grid->addLayout(guiding, 0, 1);

  // Column 2: slew values, AO unit, filter wheel, autosave folder.
  auto* fields = new QVBoxLayout;
  auto* slew = new QGridLayout;
  slew->addWidget(new QLabel("Main Camera", this), 0, 1);
  slew->addWidget(new QLabel("Autoguider", this), 0, 2);
  const char* labels[] = {"RA pixels per sec", "Dec pixels per sec",      "RA Backlash",
                          "Dec Backlash",      "Hysteresis in RA (0-10)", "Hysteresis in Dec (0-20)"};
  const auto& slewFields = SlewFields();
  for (int row = 0; row < 6; ++row) {
    slew->addWidget(new QLabel(labels[row], this), row + 1, 0);
    for (int column = 0; column < 2; ++column) {
      const std::size_t i = static_cast<std::size_t>(column * 6 + row);
      slew_[i] = makeEdit(slewFields[i].control);
      slew->addWidget(slew_[i], row + 1, column + 1);
    }
  }
  auto* setSlew = Button(this, 17124, "Set slew values");
  slew->addWidget(setSlew, 7, 1, 1, 2);
  fields->addLayout(slew);

  auto* ao = Group(this, QString());
  ao->layout()->addWidget(makeCheck(DefaultsCheck::AoUnitAvailable));
  ao->layout()->addWidget(makeCheck(DefaultsCheck::AoHalfRate));
  auto* aoPortRow = new QHBoxLayout;
  aoPortRow->addWidget(new QLabel("PC Com Port (+AO Unit)", this));
  aoPort_ = makeEdit(17169, true);
  aoPortRow->addWidget(aoPort_);
  static_cast<QVBoxLayout*>(ao->layout())->addLayout(aoPortRow);
  fields->addWidget(ao);

  auto* wheel = Group(this, "Filter Wheel Text");
  auto* wheelTop = new QHBoxLayout;
  wheelTop->addWidget(makeCheck(DefaultsCheck::FilterWheel));
  wheelStatus_ = makeEdit(17110, true);
  wheelTop->addWidget(wheelStatus_);
  static_cast<QVBoxLayout*>(wheel->layout())->addLayout(wheelTop);
  wheel->layout()->addWidget(makeCheck(DefaultsCheck::UseUsbFilterWheel));
  auto* countRow = new QHBoxLayout;
  countRow->addWidget(new QLabel("Number of Filtes (max 8)", this));
  filterCount_ = makeEdit(17163);
  countRow->addWidget(filterCount_);
  static_cast<QVBoxLayout*>(wheel->layout())->addLayout(countRow);
  auto* names = new QGridLayout;
  for (int i = 0; i < 8; ++i) {
    filterNames_[static_cast<std::size_t>(i)] = makeEdit(17153 + i);
    names->addWidget(filterNames_[static_cast<std::size_t>(i)], i / 2, i % 2);
  }
  static_cast<QVBoxLayout*>(wheel->layout())->addLayout(names);
  auto* setFilters = Button(this, 17162, "Set Filter Details");
  wheel->layout()->addWidget(setFilters);
  fields->addWidget(wheel);

  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(new QLabel("AutoSave Directory", this));
  autosave_ = makeEdit(17990);
  folderRow->addWidget(autosave_);
  auto* setFolder = Button(this, 17991, "Set AutoSave Dir");
  folderRow->addWidget(setFolder);
  fields->addLayout(folderRow);
  auto* lastRow = new QHBoxLayout;
  lastRow->addWidget(new QLabel("Last Num", this));
  lastNumber_ = makeEdit(17166, true);
  lastRow->addWidget(lastNumber_);
  fields->addLayout(lastRow);
  fields->addStretch();
  grid->addLayout(fields, 0, 2);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* save = Button(this, 1, "Save Changes");
  save->setDefault(true);
  auto* cancel = Button(this, 2, "Cancel");
  buttons->addWidget(save);
  buttons->addWidget(cancel);
  grid->addLayout(buttons, 1, 0, 1, 3);

  connect(setSlew, &QPushButton::clicked, this, [this] {
    setSlewValues();
    redraw();
  });
  connect(setFilters, &QPushButton::clicked, this, [this] {
    setFilterDetails();
    redraw();
  });
  connect(setFolder, &QPushButton::clicked, this, [this] { setAutosaveDirectory(); });
  connect(save, &QPushButton::clicked, this, [this] { saveChanges(); });
  // Cancel keeps every change the controls made, in memory only.
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  redraw();
}

QWidget* TINIDialog::makeRadioGroup(DefaultsRadio radio, const QString& title) {
  auto* box = Group(this, title);
  if (title.isEmpty()) box->setFlat(true);
  const auto& choices = RadioGroup(radio).choices;
  auto& buttons = radios_[radio];
  for (std::size_t i = 0; i < choices.size(); ++i) {
    auto* button = new QRadioButton(Text(choices[i].text), box);
    button->setObjectName(Id(choices[i].control));
    box->layout()->addWidget(button);
    buttons.push_back(button);
    connect(button, &QRadioButton::clicked, this, [this, radio, i] {
      Choose(state_, host_, radio, static_cast<int>(i));
      redraw();
    });
  }
  return box;
}

QCheckBox* TINIDialog::makeCheck(DefaultsCheck check) {
  for (const auto& box : DefaultsCheckBoxes()) {
    if (box.check != check) continue;
    auto* widget = new QCheckBox(Text(box.text), this);
    widget->setObjectName(Id(box.control));
    widget->setVisible(box.shown);
    widget->setEnabled(box.shown);
    checks_[check] = widget;
    connect(widget, &QCheckBox::clicked, this, [this, check] {
      // A refused click has shown its message; the redraw puts the box back.
      static_cast<void>(ClickCheck(state_, host_, clock_, check));
      redraw();
    });
    return widget;
  }
  return nullptr;
}

QLineEdit* TINIDialog::makeEdit(int id, bool readOnly) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(Id(id));
  edit->setReadOnly(readOnly);
  return edit;
}

void TINIDialog::redraw() {
  RefreshDefaults(state_);
  const ProgramSettings& s = state_.settings;
  for (auto& [radio, buttons] : radios_) {
    const int chosen = CurrentChoice(state_, radio);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      const QSignalBlocker block(buttons[i]);
      buttons[i]->setAutoExclusive(false);
      buttons[i]->setChecked(static_cast<int>(i) == chosen);
      buttons[i]->setAutoExclusive(true);
    }
  }
  for (auto& [check, box] : checks_) {
    const QSignalBlocker block(box);
    box->setChecked(CheckState(state_, check));
  }
  const auto& fields = SlewFields();
  for (std::size_t i = 0; i < fields.size(); ++i) slew_[i]->setText(QString::number(s.*(fields[i].member)));
  filterCount_->setText(QString::number(s.filterCount));
  for (std::size_t i = 0; i < filterNames_.size(); ++i) filterNames_[i]->setText(Text(s.filterNames[i].view()));
  wheelStatus_->setText(QString::fromStdString(FilterWheelStatus(state_)));
  autosave_->setText(Text(s.autosaveDirectory.view()));
  aoPort_->setText(QString::fromStdString(AoPortText(s)));
  lastNumber_->setText(QString::number(s.lastFileNumber));
}

std::array<std::optional<long>, kSlewFieldCount> TINIDialog::slewFields() const {
  std::array<std::optional<long>, kSlewFieldCount> values{};
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = FieldNumber(slew_[i]->text().toStdString());
  return values;
}

void TINIDialog::setSlewValues() { SetSlewValues(state_.settings, slewFields()); }

void TINIDialog::setFilterDetails() {
  std::array<std::string, 8> names;
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = filterNames_[i]->text().toStdString();
  SetFilterDetails(state_.settings, FieldNumber(filterCount_->text().toStdString()), names);
}

void TINIDialog::setAutosaveDirectory() {
  if (SetAutosaveDirectory(state_, host_, autosave_->text().toStdString())) setSlewValues();
  redraw();
}

void TINIDialog::saveChanges() {
  if (AcceptDefaults(state_, host_, autosave_->text().toStdString(), slewFields())) {
    accept();
  } else {
    redraw();
  }
}

}  // namespace qv
