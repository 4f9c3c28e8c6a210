#include "mapping/win/mapping_tools.h"

#include "mapping/calibration.h"
#include "mapping/win/area_select_overlay.h"
#include "mapping/win/calibration_window.h"
#include "mapping/win/precision_indicator.h"

using namespace scribo;

MappingTools::MappingTools(HINSTANCE instance, HWND mainWindow, SharedBlock& block, BlockLock& lock,
                           const TIniFile& language, win::InfoStrip& info)
    : instance_(instance),
      main_(mainWindow),
      block_(block),
      lock_(lock),
      language_(language),
      info_(info) {}

MappingTools::~MappingTools() = default;

void MappingTools::createIndicator() {
    if (indicator_) return;
    indicator_ = std::make_unique<CDlgJXMode>(
        main_, language_.readText(u"Dialog_UserSet", u"UserSet.Index.09", u"UserSet.Index.09"));
    indicator_->create(instance_);
}

void MappingTools::showPrecision(const PrecisionToggle::Result& result) {
    if (!indicator_) createIndicator();
    if (result.on)
        indicator_->showAt(result.layout);
    else
        indicator_->hide();
}

bool MappingTools::openOverlay(int selection) {
    if (!overlay_ || overlay_->hwnd() == nullptr || !IsWindow(overlay_->hwnd())) {
        overlay_ = std::make_unique<CDlgCutWnd>(main_, block_, language_, info_, selectedRegion_);
        if (!overlay_->create(instance_)) {
            overlay_.reset();
            return false;
        }
    }
    return overlay_->open(selection);
}

void MappingTools::openCalibration(DeviceBinding binding) {
    if (calibration_ && calibration_->open()) {
        calibration_->bringToFront();
        return;
    }
    calibration_ = std::make_unique<CDlgCheckDisplay>(block_, lock_);
    if (!calibration_->create(instance_, main_, std::move(binding), block_.currentMonitor))
        calibration_.reset();
}

void MappingTools::onDeviceEvent(bool reload) {
    if (calibration_ && calibration_->open() && (reload || !calibration_->binding().rebind()))
        calibration_->cancel();
    if (overlay_ && overlay_->hwnd() != nullptr && IsWindowVisible(overlay_->hwnd()))
        overlay_->cancel();
}

void MappingTools::closeAll() {
    if (calibration_) calibration_->cancel();
    if (overlay_ && overlay_->hwnd() != nullptr && IsWindowVisible(overlay_->hwnd()))
        overlay_->cancel();
}
