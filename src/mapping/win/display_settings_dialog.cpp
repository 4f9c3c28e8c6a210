#include "mapping/win/display_settings_dialog.h"

#include <commctrl.h>

#include <cstring>

#include "config/block_access.h"
#include "platform/geometry.h"
#include "platform/wide.h"
#include "resource.h"

using namespace scribo;

namespace {

// The worker reports finished commands with this message; wParam is one of the tokens below.
constexpr UINT kMonitorDone = WM_APP + 0x44;
constexpr uint32_t kTokenRestoreDone = 1;
constexpr uint32_t kTokenClosing = 2;
constexpr uint32_t kTokenReadDone = 3;
// Closing waits this long for the monitor to take what was asked of it, never longer.
constexpr UINT_PTR kCloseTimer = 1;

constexpr int kSliderMax = 100;
constexpr int kSliderPage = 10;  // Page Up/Down and a click beside the thumb
constexpr uint32_t kNeutral = 50;

struct SliderRow {
    int slider, value, label;
    const char16_t* key;
    const char16_t* fallback;
};
const SliderRow kRows[] = {
    {IDC_DS_RED, IDC_DS_RED_VALUE, IDC_DS_RED_LABEL, u"DisplaySetting.Red", u"Red"},
    {IDC_DS_GREEN, IDC_DS_GREEN_VALUE, IDC_DS_GREEN_LABEL, u"DisplaySetting.Green", u"Green"},
    {IDC_DS_BLUE, IDC_DS_BLUE_VALUE, IDC_DS_BLUE_LABEL, u"DisplaySetting.Blue", u"Blue"},
    {IDC_DS_BRIGHTNESS, IDC_DS_BRIGHTNESS_VALUE, IDC_DS_BRIGHTNESS_LABEL,
     u"DisplaySetting.Brightness", u"Brightness"},
    {IDC_DS_CONTRAST, IDC_DS_CONTRAST_VALUE, IDC_DS_CONTRAST_LABEL, u"DisplaySetting.Constrast",
     u"Constrast"},
};
const int kGainSliders[] = {IDC_DS_RED, IDC_DS_GREEN, IDC_DS_BLUE};
// The preset radios, in their order in the template.
struct PresetRadio {
    int id;
    ColourPreset preset;
};
constexpr PresetRadio kPresetRadios[] = {
    {IDC_DS_SRGB, ColourPreset::SRGB},   {IDC_DS_5000K, ColourPreset::K5000},
    {IDC_DS_6500K, ColourPreset::K6500}, {IDC_DS_7500K, ColourPreset::K7500},
    {IDC_DS_9300K, ColourPreset::K9300}, {IDC_DS_USER, ColourPreset::User}};
constexpr int kFirstPresetRadio = IDC_DS_SRGB, kLastPresetRadio = IDC_DS_USER;

int radioOf(ColourPreset preset) {
    for (const PresetRadio& r : kPresetRadios)
        if (r.preset == preset) return r.id;
    return IDC_DS_6500K;
}
std::optional<ColourPreset> presetOf(int radioId) {
    for (const PresetRadio& r : kPresetRadios)
        if (r.id == radioId) return r.preset;
    return std::nullopt;
}

const int kRotations[][2] = {
    {IDC_DS_ROTATE_0, 0}, {IDC_DS_ROTATE_90, 1}, {IDC_DS_ROTATE_180, 2}, {IDC_DS_ROTATE_270, 3}};

// What a slider sends to the monitor.
MonitorCommand commandFor(int sliderId, uint32_t value) {
    switch (sliderId) {
        case IDC_DS_RED:
            return MonitorCommand::setVcp(kVcpRedGain, value);
        case IDC_DS_GREEN:
            return MonitorCommand::setVcp(kVcpGreenGain, value);
        case IDC_DS_BLUE:
            return MonitorCommand::setVcp(kVcpBlueGain, value);
        case IDC_DS_BRIGHTNESS:
            return MonitorCommand::brightness(value);
        default:
            return MonitorCommand::contrast(value);
    }
}

}  // namespace

CDlgDisplaySettings::~CDlgDisplaySettings() {
    worker_.reset();
    destroy();
}

INT_PTR CDlgDisplaySettings::open(HINSTANCE instance, HWND owner, const DeviceRecord* device) {
    if (isOpen()) return -1;
    const int index = block_.currentMonitor;
    if (index <= 0) {
        MessageBoxW(owner, L"Please set your monitors to extend mode then try again.! ", L"Info",
                    MB_OK);
        return IDCANCEL;
    }
    std::memcpy(mode_, block_.displayMode, sizeof mode_);
    deviceName_ = platform::toWide(readField(block_.displayDeviceName));
    locked_ = device != nullptr && adjustmentLocked(readField(device->deviceId));

    // An index beyond the table finds no display, as a rectangle without one would.
    bool opened = false;
    if (index < kMonitorRectCount) {
        const Rect32& r = block_.monitorRects[index];
        opened = monitors_.open(platform::toRECT(r));
    }
    if (!opened) {
        MessageBoxW(owner, L"Can't Get the PhysicalMonitor!", L"Error", MB_OK);
        return IDCANCEL;
    }
    restoring_ = closing_ = reading_ = false;
    const INT_PTR code = runModal(instance, IDD_DISPLAY_SETTINGS, owner);
    // The worker has finished, dropped or been left its commands; the monitors go with it.
    worker_.reset();
    monitors_.release();
    return code;
}

void CDlgDisplaySettings::close(INT_PTR code) {
    if (!isOpen()) return;
    worker_.reset();
    endDialog(code);
}

void CDlgDisplaySettings::onInitDialog() {
    for (const SliderRow& row : kRows) {
        SendMessageW(item(row.slider), TBM_SETRANGE, TRUE, MAKELPARAM(0, kSliderMax));
        SendMessageW(item(row.slider), TBM_SETPAGESIZE, 0, kSliderPage);
    }
    setTexts();
    for (int id : kGainSliders) {
        for (const SliderRow& row : kRows)
            if (row.slider == id) setSlider(row.slider, row.value, kNeutral);
    }
    // The monitor answers slowly, or not at all while it sleeps: its values are read on the
    // worker, and the window shows them, and lets them be changed, once they are there.
    reading_ = true;
    enableAdjusting(false);
    worker_ = std::make_unique<scribo::win::MonitorWorker>(
        std::make_unique<scribo::win::Dxva2MonitorPort>(std::move(monitors_), deviceName_,
                                                        platform::makeDisplaySettingsChanger()),
        hwnd(), kMonitorDone);
    worker_->post(MonitorCommand::read(kTokenReadDone));
}

void CDlgDisplaySettings::enableAdjusting(bool enabled) {
    for (const PresetRadio& r : kPresetRadios) enable(r.id, enabled && !locked_);
    enable(IDC_DS_BRIGHTNESS, enabled && !locked_);
    enable(IDC_DS_CONTRAST, enabled && !locked_);
    enableGains(enabled && IsDlgButtonChecked(hwnd(), IDC_DS_USER) == BST_CHECKED);
    enable(IDC_DS_RESTORE, enabled);
    for (const auto& rotation : kRotations) enable(rotation[0], enabled);
}

void CDlgDisplaySettings::setTexts() {
    const std::u16string_view section = u"Dialog_DisplaySetting";
    SetWindowTextW(
        hwnd(), platform::toWide(language_.readText(section, u"DisplaySetting.Caption")).c_str());
    setText(IDC_DS_GROUP_TEMPERATURE,
            language_.readText(section, u"DisplaySetting.ColorTemperature"));
    for (const SliderRow& row : kRows)
        setText(row.label, language_.readText(section, row.key, row.fallback));
    setText(IDC_DS_RESTORE, language_.readText(section, u"DisplaySetting.Restore", u"Restore"));
    setText(IDOK, language_.readText(u"Dialog_Main", u"Main.OK", u"OK"));
    setText(IDCANCEL, language_.readText(u"Dialog_Main", u"Main.Cancel", u"Cancel"));
}

void CDlgDisplaySettings::showReadings(const MonitorReadings& r) {
    if (const std::optional<ColourPreset> preset = presetFor(r.temperatureOk, r.temperature))
        CheckRadioButton(hwnd(), kFirstPresetRadio, kLastPresetRadio, radioOf(*preset));

    // One minimum carried from reading to reading: a failed reading keeps the last one.
    uint32_t lastMinimum = 0;
    if (r.gainsRead) {
        for (int gain = 0; gain < 3; ++gain)
            showSlider(kRows[gain].slider, kRows[gain].value,
                       sliderFromReading(r.gainOk[gain], r.gains[gain], lastMinimum));
    }
    showSlider(IDC_DS_BRIGHTNESS, IDC_DS_BRIGHTNESS_VALUE,
               sliderFromReading(r.brightnessOk, r.brightness, lastMinimum));
    showSlider(IDC_DS_CONTRAST, IDC_DS_CONTRAST_VALUE,
               sliderFromReading(r.contrastOk, r.contrast, lastMinimum));
}

void CDlgDisplaySettings::showSlider(int sliderId, int valueId, const SliderShown& shown) {
    if (shown.position)
        SendMessageW(item(sliderId), TBM_SETPOS, TRUE, static_cast<LPARAM>(*shown.position));
    SetDlgItemInt(hwnd(), valueId, shown.label, FALSE);
}

void CDlgDisplaySettings::setSlider(int sliderId, int valueId, uint32_t value) {
    SendMessageW(item(sliderId), TBM_SETPOS, TRUE, static_cast<LPARAM>(value));
    SetDlgItemInt(hwnd(), valueId, value, FALSE);
}

void CDlgDisplaySettings::enableGains(bool enabled) {
    for (int id : kGainSliders) enable(id, enabled && !locked_);
}

void CDlgDisplaySettings::onPreset(int radioId) {
    const std::optional<ColourPreset> preset = presetOf(radioId);
    if (!preset || locked_) return;
    enableGains(*preset == ColourPreset::User);
    worker_->post(MonitorCommand::setVcp(kVcpColourPreset, presetVcpValue(*preset)));
}

void CDlgDisplaySettings::onSlider(HWND slider) {
    for (const SliderRow& row : kRows) {
        if (item(row.slider) != slider) continue;
        const auto pos = static_cast<uint32_t>(SendMessageW(slider, TBM_GETPOS, 0, 0));
        SetDlgItemInt(hwnd(), row.value, pos, FALSE);
        worker_->post(commandFor(row.slider, pos));
        return;
    }
}

void CDlgDisplaySettings::onRestore() {
    // One restore at a time: the button stays disabled until the monitor has done it, and a
    // click that still reaches us meanwhile is dropped.
    if (restoring_) return;
    restoring_ = true;
    enable(IDC_DS_RESTORE, false);
    UpdateWindow(item(IDC_DS_RESTORE));
    const std::optional<DisplayModeChange> upright = orientationChange(mode_, 0);
    std::memcpy(mode_, upright->mode.data(), sizeof mode_);
    worker_->post(MonitorCommand::restore(*upright, kTokenRestoreDone));

    // What the monitor will show once it has restored: 6500 K and neutral values.
    CheckRadioButton(hwnd(), kFirstPresetRadio, kLastPresetRadio, radioOf(ColourPreset::K6500));
    enableGains(false);
    for (const SliderRow& row : kRows) setSlider(row.slider, row.value, kNeutral);
}

void CDlgDisplaySettings::onRotate(uint32_t orientation) {
    const std::optional<DisplayModeChange> turned = orientationChange(mode_, orientation);
    if (!turned) return;
    std::memcpy(mode_, turned->mode.data(), sizeof mode_);  // later turns start from this one
    worker_->post(MonitorCommand::rotate(*turned));
}

void CDlgDisplaySettings::onMonitorDone(WPARAM token) {
    if (token == kTokenReadDone) {
        if (closing_ || !worker_) return;
        if (auto readings = worker_->takeReadings()) showReadings(*readings);
        reading_ = false;
        enableAdjusting(true);
    } else if (token == kTokenRestoreDone) {
        HWND button = item(IDC_DS_RESTORE);
        MSG stale;
        while (PeekMessageW(&stale, button, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
        }
        enable(IDC_DS_RESTORE, !closing_);
        restoring_ = false;
    } else if (token == kTokenClosing) {
        // Everything asked of the monitor is done: let it go before the window does.
        KillTimer(hwnd(), kCloseTimer);
        worker_.reset();
        endDialog(closeCode_);
    }
}

void CDlgDisplaySettings::onCloseTimer() {
    // The monitor is slow or does not answer: the window closes now, and the worker carries
    // out what it was given on its own (storing the settings for OK), then lets the monitor go.
    KillTimer(hwnd(), kCloseTimer);
    if (worker_) worker_->finishAlone();
    worker_.reset();
    endDialog(closeCode_);
}

void CDlgDisplaySettings::finish(INT_PTR code) {
    // The window closes once the monitor has had every command made here (and stored them for
    // OK), or after kMostWaitMs, whichever comes first; meanwhile its buttons are disabled.
    if (closing_) return;
    closing_ = true;
    closeCode_ = code;
    enable(IDOK, false);
    enable(IDCANCEL, false);
    enableAdjusting(false);
    if (!worker_) {
        endDialog(code);
        return;
    }
    if (code == IDOK) worker_->post(MonitorCommand::save());
    worker_->post(MonitorCommand::notify(kTokenClosing));
    SetTimer(hwnd(), kCloseTimer, scribo::win::MonitorWorker::kMostWaitMs, nullptr);
}

bool CDlgDisplaySettings::handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG:
            onInitDialog();
            result = TRUE;
            return true;
        case WM_HSCROLL:
            if (!closing_ && !reading_ && worker_ && l != 0) onSlider(reinterpret_cast<HWND>(l));
            return true;
        case kMonitorDone:
            onMonitorDone(w);
            return true;
        case WM_TIMER:
            if (w != kCloseTimer) return false;
            onCloseTimer();
            return true;
        case WM_COMMAND: {
            const int id = LOWORD(w);
            if (id == IDOK || id == IDCANCEL) {
                finish(id);
                return true;
            }
            if (closing_ || reading_ || !worker_ || HIWORD(w) != BN_CLICKED) return false;
            if (presetOf(id)) {
                onPreset(id);
                return true;
            }
            if (id == IDC_DS_RESTORE) {
                onRestore();
                return true;
            }
            for (const auto& rotation : kRotations) {
                if (rotation[0] != id) continue;
                onRotate(static_cast<uint32_t>(rotation[1]));
                return true;
            }
            return false;
        }
        default:
            return false;
    }
}
