#include "graph/ParametersDialog.h"

#include "app/WindowKinds.h"
#include "catalogue/Settings.h"
#include "platform/CText.h"
#include "platform/qt/Cp1252.h"
#include "resources/CommandIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

using namespace ids;

CDia_Parameters::CDia_Parameters(QWidget* parent) : TemplateDialog(IDD_PARAMETERS, parent) {
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
