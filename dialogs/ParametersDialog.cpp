#include "dialogs/ParametersDialog.h"

#include "catalogue/Settings.h"
#include "platform/CText.h"
#include "platform/qt/Cp1252.h"
#include "resources/CommandIds.h"
#include "resources/Resources.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

using namespace ids;

const resources::DialogTemplate& CDia_Parameters::Template() {
    using K = resources::ControlKind;
    using namespace resources;
    static const DialogTemplate parameters = {
        IDD,
        "Parameters",
        369,
        214,
        "Microsoft Sans Serif",
        8,
        {
            {K::GroupBox, IDC_STATIC, "Y Axe", 7, 7, 113, 95},
            {K::CheckBox, IDC_Y_AUTOSCALE, "Autoscale", 30, 23, 67, 10, kTabStop},
            {K::CheckBox, IDC_Y_SHOW_NET, "Show net", 30, 41, 67, 10, kTabStop},
            {K::Static, IDC_STATIC, "Y min:", 21, 66, 33, 8, kRight},
            {K::Edit, IDC_Y_MIN, "", 63, 60, 40, 14,
             kCentered | kDisabled | kBorder | kTabStop | kAutoHScroll},
            {K::Static, IDC_STATIC, "Y delta:", 21, 86, 33, 8, kRight},
            {K::Edit, IDC_Y_DELTA, "", 63, 80, 40, 14,
             kCentered | kDisabled | kBorder | kTabStop | kAutoHScroll},
            {K::GroupBox, IDC_STATIC, "X Axe", 127, 7, 113, 95},
            {K::CheckBox, IDC_X_AUTOSCALE, "Autoscale", 152, 23, 67, 10, kHidden | kTabStop},
            {K::CheckBox, IDC_X_SHOW_NET, "Show net", 152, 41, 67, 10, kTabStop},
            {K::Static, IDC_STATIC, "X min:", 142, 66, 33, 8, kRight | kHidden},
            {K::Edit, IDC_X_MIN, "", 183, 60, 40, 14,
             kCentered | kHidden | kBorder | kTabStop | kAutoHScroll},
            {K::Static, IDC_STATIC, "X delta:", 142, 86, 33, 8, kRight | kHidden},
            {K::Edit, IDC_X_DELTA, "", 183, 80, 40, 14,
             kCentered | kHidden | kBorder | kTabStop | kAutoHScroll},
            {K::GroupBox, IDC_STATIC, "Graph", 249, 7, 113, 94},
            {K::CheckBox, IDC_SHOW_MARKS, "Show marks", 274, 23, 67, 10, kTabStop},
            {K::CheckBox, IDC_SHOW_LEGEND, "Show legend", 274, 41, 67, 10, kTabStop},
            {K::Static, IDC_STATIC, "Line width:", 261, 66, 58, 8, kRight},
            {K::Edit, IDC_LINE_WIDTH, "", 325, 60, 18, 14,
             kCentered | kBorder | kTabStop | kAutoHScroll},
            {K::GroupBox, IDC_STATIC, "Meteo", 7, 105, 355, 82},
            {K::CheckBox, IDC_TEMPERATURE, "Temperature", 30, 124, 67, 10, kTabStop},
            {K::CheckBox, IDC_PRESSURE, "Pressure", 30, 139, 67, 10, kTabStop},
            {K::CheckBox, IDC_WIND_SPEED, "Wind speed", 30, 154, 67, 10, kTabStop},
            {K::CheckBox, IDC_WIND_DIRECTION, "Wind direction", 30, 169, 67, 10, kTabStop},
            {K::CheckBox, IDC_WRITE_FILE, "Write meteodata to file", 152, 124, 89, 10, kTabStop},
            {K::CheckBox, IDC_TIME_UTC, "Time UTC", 152, 139, 58, 10, kTabStop},
            {K::CheckBox, IDC_METRIC_STYLE, "Metric style", 152, 154, 58, 10, kTabStop},
            {K::Static, IDC_STATIC, "Show nearest:", 233, 141, 46, 8, kRight},
            {K::Edit, IDC_NEAREST_MINUTES, "", 287, 137, 32, 12,
             kCentered | kBorder | kTabStop | kAutoHScroll},
            {K::Static, IDC_STATIC, "minutes", 324, 141, 27, 8},
            {K::Static, IDC_STATIC, "Show past", 238, 171, 41, 8, kRight},
            {K::DropDownList,
             IDC_PAST_HOURS,
             "",
             287,
             167,
             32,
             75,
             kVScroll | kTabStop,
             {"1", "2", "3", "4", "5", "6", "12", "18", "24", "30", "36", "42", "48", "54", "60"}},
            {K::Static, IDC_STATIC, "hours", 324, 171, 27, 8},
            {K::CheckBox, IDC_SAVE_PARAMETERS, "Save Parameters", 7, 197, 73, 10, kTabStop},
            {K::CheckBox, IDC_SAVE_LAYOUT, "Save Layout", 112, 197, 61, 10, kTabStop},
            {K::CheckBox, IDC_RESTORE_LAYOUT, "Restore Layout", 181, 197, 61, 10, kTabStop},
            {K::PushButton, IDOK, "OK", 255, 193, 50, 14, kDefault | kTabStop},
            {K::PushButton, IDCANCEL, "Cancel", 311, 193, 50, 14, kTabStop},
        }};
    return parameters;
}

CDia_Parameters::CDia_Parameters(QWidget* parent) : TemplateDialog(Template(), parent) {
    setObjectName(QStringLiteral("parametersDialog"));
    connect(Check(IDC_Y_AUTOSCALE), &QCheckBox::clicked, this, [this] { OnYAutoscale(); });
}

bool CDia_Parameters::OnInitDialog() {
    if (m_pGraph) {
        const CGraph& g = *m_pGraph;
        SetChecked(IDC_SHOW_MARKS, g.m_bShowMarks);
        SetChecked(IDC_SHOW_LEGEND, g.m_bShowLegend);
        SetText(IDC_LINE_WIDTH, platform::Format("%d", g.m_nLineWidth));
        SetChecked(IDC_X_SHOW_NET, g.m_bXShowNet);
        SetText(IDC_X_MIN, platform::Format("%.2f", g.m_dXMin));
        SetText(IDC_X_DELTA, platform::Format("%.2f", g.m_dXDelta));
        SetChecked(IDC_Y_AUTOSCALE, g.m_bYAutoscale);
        SetChecked(IDC_Y_SHOW_NET, g.m_bYShowNet);
        SetText(IDC_Y_MIN, platform::Format("%.2f", g.m_dYMin));
        SetText(IDC_Y_DELTA, platform::Format("%.2f", g.m_dYDelta));
        OnYAutoscale();
    }
    if (m_pCurrentStation) {
        const StationRecord& c = *m_pCurrentStation;
        SetChecked(IDC_TEMPERATURE, c.bShowTemperature);
        SetChecked(IDC_PRESSURE, c.bShowPressure);
        SetChecked(IDC_WIND_SPEED, c.bShowWindSpeed);
        SetChecked(IDC_WIND_DIRECTION, c.bShowWindDirection);
        SetChecked(IDC_WRITE_FILE, c.bWriteFile);
        SetChecked(IDC_TIME_UTC, c.bShowTimeUTC);
        SetChecked(IDC_METRIC_STYLE, c.bMetricStyle);
        SetText(IDC_NEAREST_MINUTES, platform::Format("%.2f", c.dNearestMinutes));
        // The item whose text is exactly the number: 1 selects "1", not "12".
        List(IDC_PAST_HOURS)
            ->setCurrentIndex(List(IDC_PAST_HOURS)
                                  ->findText(QString::number(c.iShowPastHours), Qt::MatchExactly));
    }
    SetChecked(IDC_SAVE_PARAMETERS, iSaveSettings != 0);
    SetChecked(IDC_SAVE_LAYOUT, iSaveLayout != 0);
    SetChecked(IDC_RESTORE_LAYOUT, iRestoreLayout != 0);
    return true;
}

void CDia_Parameters::OnYAutoscale() {
    QLineEdit* yMin = Edit(IDC_Y_MIN);
    QLineEdit* yDelta = Edit(IDC_Y_DELTA);
    if (IsChecked(IDC_Y_AUTOSCALE)) {
        yMin->setEnabled(false);
        yDelta->setEnabled(false);
    } else if (m_pGraph) {
        SetText(IDC_Y_MIN, platform::Format("%.2f", m_pGraph->m_dYMin));
        SetText(IDC_Y_DELTA, platform::Format("%.2f", m_pGraph->m_dYDelta));
        yMin->setEnabled(true);
        yDelta->setEnabled(true);
    }
}

void CDia_Parameters::OnOK() {
    if (m_pGraph) {
        CGraph& g = *m_pGraph;
        g.m_bShowMarks = IsChecked(IDC_SHOW_MARKS) ? 1 : 0;
        g.m_bShowLegend = IsChecked(IDC_SHOW_LEGEND) ? 1 : 0;
        g.m_nLineWidth = platform::LeadingInt(Text(IDC_LINE_WIDTH));
        g.m_bXShowNet = IsChecked(IDC_X_SHOW_NET) ? 1 : 0;
        g.m_dXMin = platform::LeadingDouble(Text(IDC_X_MIN));
        g.m_dXDelta = platform::LeadingDouble(Text(IDC_X_DELTA));
        g.m_bYAutoscale = IsChecked(IDC_Y_AUTOSCALE) ? 1 : 0;
        g.m_bYShowNet = IsChecked(IDC_Y_SHOW_NET) ? 1 : 0;
        g.m_dYMin = platform::LeadingDouble(Text(IDC_Y_MIN));
        g.m_dYDelta = platform::LeadingDouble(Text(IDC_Y_DELTA));
    }
    if (m_pCurrentStation) {
        StationRecord& c = *m_pCurrentStation;
        c.bShowTemperature = IsChecked(IDC_TEMPERATURE) ? 1 : 0;
        c.bShowPressure = IsChecked(IDC_PRESSURE) ? 1 : 0;
        c.bShowWindSpeed = IsChecked(IDC_WIND_SPEED) ? 1 : 0;
        c.bShowWindDirection = IsChecked(IDC_WIND_DIRECTION) ? 1 : 0;
        c.bWriteFile = IsChecked(IDC_WRITE_FILE) ? 1 : 0;
        c.bShowTimeUTC = IsChecked(IDC_TIME_UTC) ? 1 : 0;
        c.bMetricStyle = IsChecked(IDC_METRIC_STYLE) ? 1 : 0;
        c.dNearestMinutes = platform::LeadingDouble(Text(IDC_NEAREST_MINUTES));
        // With no hours item selected (a stored value not in the list) the previous value stays:
        // 0 would leave no meteogram window able to open.
        const QComboBox* hours = List(IDC_PAST_HOURS);
        if (hours->currentIndex() >= 0)
            c.iShowPastHours = platform::LeadingInt(platform::ToCp1252(hours->currentText()));
        // A radius typed as "nan", "inf" or below zero would be kept and written back.
        KeepParametersInRange(c);
    }
    iSaveSettings = IsChecked(IDC_SAVE_PARAMETERS) ? 1 : 0;
    iSaveLayout = IsChecked(IDC_SAVE_LAYOUT) ? 1 : 0;
    iRestoreLayout = IsChecked(IDC_RESTORE_LAYOUT) ? 1 : 0;
    done(IDOK);
}
