#pragma once

#include "catalogue/StationRecord.h"
#include "graph/Graph.h"
#include "platform/qt/TemplateDialog.h"

// "Parameters": the display parameters of a meteogram's graph (when opened from a meteogram
// window) and the user's settings. OK takes the fields when every number in them is readable and
// in its range; otherwise a message names the field and its range, and the dialog stays.
class CDia_Parameters : public platform::TemplateDialog {
public:
    enum : int {
        IDD = 502,
        IDC_Y_AUTOSCALE = 505,
        IDC_Y_SHOW_NET = 506,
        IDC_Y_MIN = 507,
        IDC_Y_DELTA = 508,
        IDC_X_AUTOSCALE = 509,
        IDC_X_SHOW_NET = 510,
        IDC_X_MIN = 511,
        IDC_X_DELTA = 512,
        IDC_TEMPERATURE = 513,
        IDC_LINE_WIDTH = 514,
        IDC_SHOW_MARKS = 515,
        IDC_SHOW_LEGEND = 516,
        IDC_PRESSURE = 517,
        IDC_WIND_SPEED = 518,
        IDC_WIND_DIRECTION = 519,
        IDC_WRITE_FILE = 520,
        IDC_TIME_UTC = 521,
        IDC_METRIC_STYLE = 522,
        IDC_NEAREST_MINUTES = 523,
        IDC_SAVE_PARAMETERS = 524,
        IDC_SAVE_LAYOUT = 525,
        IDC_RESTORE_LAYOUT = 526,
        IDC_KEEP_DAYS = 527,
        IDC_PAST_HOURS = 1003,
    };

    // Template 502, in dialog units.
    static const resources::DialogTemplate& Template();

    explicit CDia_Parameters(QWidget* parent = nullptr);

    CGraph* m_pGraph = nullptr;
    StationRecord* m_pCurrentStation = nullptr;

    // The Y Autoscale check box: Y min and Y delta follow it.
    void OnYAutoscale();

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    bool FieldsAreValid();
    bool Refuse(int control, const std::string& message);
};
