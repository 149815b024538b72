#pragma once
// indi_qelvesk_ccd: the camera, its cooler, the filter wheel and the guide
// outputs as one INDI device. Everything it does is a call into the core; it
// only turns INDI properties into those calls and their results back into
// properties. Device work runs on libindi's event-loop timers, stepped like
// the program's window steps its operations.

#include <libindi/indiccd.h>
#include <libindi/indifilterinterface.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/program_state.h"
#include "camera/client_exposure.h"
#include "camera/exposure_run.h"
#include "camera/filter_cooler.h"
#include "indi/driver_host.h"
#include "platform/system_clock.h"

namespace qv {

class QelveskCcd final : public INDI::CCD, public INDI::FilterInterface {
 public:
  QelveskCcd();
  ~QelveskCcd() override;

  const char* getDefaultName() override;
  bool initProperties() override;
  bool updateProperties() override;
  void ISGetProperties(const char* dev) override;
  bool ISNewNumber(const char* dev, const char* name, double values[], char* names[], int n) override;
  bool ISNewSwitch(const char* dev, const char* name, ISState* states, char* names[], int n) override;
  bool ISNewText(const char* dev, const char* name, char* texts[], char* names[], int n) override;

 protected:
  bool Connect() override;
  bool Disconnect() override;

  bool StartExposure(float duration) override;
  bool AbortExposure() override;
  bool UpdateCCDFrame(int x, int y, int w, int h) override;
  bool UpdateCCDBin(int hor, int ver) override;
  bool UpdateCCDFrameType(INDI::CCDChip::CCD_FRAME type) override;
  int SetTemperature(double temperature) override;

  IPState GuideNorth(uint32_t ms) override;
  IPState GuideSouth(uint32_t ms) override;
  IPState GuideEast(uint32_t ms) override;
  IPState GuideWest(uint32_t ms) override;

  int QueryFilter() override;
  bool SelectFilter(int position) override;
  bool SetFilterNames() override;
  bool GetFilterNames() override;

  bool saveConfigItems(FILE* fp) override;

 private:
  // Guide pulses run on the two axes independently.
  struct GuidePulse {
    QelveskCcd* self = nullptr;
    INDI_EQ_AXIS axis = AXIS_RA;
    int timer = -1;
    std::uint8_t bits = 0;
  };

  void readSharedSettings();
  void closeDevices();
  void buildModelProperty();
  void describeCamera();
  bool settingsWritable();
  bool saveSettingsChange(const std::function<void(ProgramSettings&)>& change);
  void alert(const std::string& text);

  void exposureTick();
  void scheduleExposure(std::uint32_t wakeMs);
  void stopExposure();
  void sendFrame();

  void coolerTick();
  void startCoolerMonitor();
  void stopCoolerMonitor();

  IPState guidePulse(std::uint8_t bit, INDI_EQ_AXIS axis, uint32_t ms);
  void endGuidePulse(GuidePulse& pulse);
  void guideAlert(INDI_EQ_AXIS axis, const std::string& text);
  void releaseGuideOutputs();

  static void ExposureTimer(void* self);
  static void CoolerTimer(void* self);
  static void GuideTimer(void* pulse);

  SystemClock clock_;
  DriverHost host_;
  std::unique_ptr<ProgramState> state_;
  bool settingsReadable_ = true;  // false: a file exists that could not be read, so it is never replaced

  std::unique_ptr<ExposureOperation> exposure_;
  int exposureTimer_ = -1;
  std::uint32_t exposureMs_ = 0;
  std::uint32_t exposureStartMs_ = 0;
  std::uint32_t exposureWakeMs_ = 0;  // when the exposure operation asked to be stepped next
  FrameKind frameKind_ = FrameKind::Light;
  std::vector<std::uint8_t> blob_;  // the FITS image of the last frame; its capacity is kept
  std::chrono::steady_clock::time_point readoutEnd_;
  double frameCopyMs_ = 0;  // one plain copy of a full frame, measured at connect

  std::unique_ptr<CoolerMonitorOperation> monitor_;
  int coolerTimer_ = -1;

  GuidePulse guide_[2];  // declination, right ascension

  ISwitch ModelS[8]{};
  ISwitchVectorProperty ModelSP{};
  int modelCount_ = 0;
  std::vector<int> modelCodes_;

  IText FilterNamesT[8]{};
  ITextVectorProperty FilterNamesTP{};

  ISwitch CoolerS[2]{};
  ISwitchVectorProperty CoolerSP{};
};

}  // namespace qv
