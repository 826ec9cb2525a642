#pragma once

#include "platform/Form.h"
#include "platform/Surface.h"

#include <functional>
#include <string>

class UC_ListView;
namespace controls {
class UC_Buttons;
}

// The surround device dialog: per output, the extra output devices 2 to 4 a
// multi-channel sound plays its further channel pairs on, one row per output
// and device ("OUT1-2" .. "OUT4-4") with the device chosen in place from the
// output devices. OK saves all twelve device keys and sets
// parms::ConfigConfirmed, so the main window re-applies the settings even when
// the configuration dialog under it is cancelled; Cancel saves nothing and
// leaves the flag as it was.
class FrmConfSurround final : public platform::Form {
public:
    static constexpr int RowCount = 12;

    explicit FrmConfSurround(QWidget* owner);
    ~FrmConfSurround() override;
    FrmConfSurround(const FrmConfSurround&) = delete;
    FrmConfSurround& operator=(const FrmConfSurround&) = delete;

    // Caption, font, background, the list filled from the store, OK/Cancel.
    void Form_Load();
    void OK();
    void Cancel();

    UC_ListView& LVSurround() { return *list_; }
    controls::UC_Buttons& OKCancelButtons() { return *okCancel_; }

    // The settings key of a row: "DeviceWave_<output>_<device>".
    static std::string RowKey(int row);

    // Opens the dialog modally over owner; returns when it is closed.
    static void ShowModalOver(QWidget* owner);

    // Called last in the unload.
    std::function<void()> AfterUnload;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    platform::Surface picture_;
    UC_ListView* list_;
    controls::UC_Buttons* okCancel_;
};
