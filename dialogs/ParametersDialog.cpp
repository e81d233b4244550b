#include "dialogs/ParametersDialog.h"

#include "catalogue/Settings.h"
#include "platform/CText.h"
#include "platform/UserServices.h"
#include "platform/qt/Cp1252.h"
#include "resources/CommandIds.h"
#include "resources/Resources.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <cmath>

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
            {K::Static, IDC_STATIC, "Keep:", 152, 171, 20, 8},
            {K::Edit, IDC_KEEP_DAYS, "", 174, 167, 26, 12,
             kCentered | kBorder | kTabStop | kAutoHScroll},
            {K::Static, IDC_STATIC, "days", 204, 171, 24, 8},
            {K::CheckBox, IDC_SAVE_PARAMETERS, "Save Parameters", 7, 197, 73, 10, kTabStop},
            {K::CheckBox, IDC_SAVE_LAYOUT, "Save Layout", 112, 197, 61, 10, kTabStop},
            {K::CheckBox, IDC_RESTORE_LAYOUT, "Restore Layout", 181, 197, 61, 10, kTabStop},
            {K::PushButton, IDOK, "OK", 255, 193, 50, 14, kDefault | kTabStop},
            {K::PushButton, IDCANCEL, "Cancel", 311, 193, 50, 14, kTabStop},
        }};
    return parameters;
}

namespace {

// A field of the graph shown by a control: a check box for a flag, an edit field for a number,
// which must lie in its range (an integer's a whole number) for OK to take it.
struct GraphField {
    int control;
    const char* label;
    std::uint8_t CGraph::*flag = nullptr;
    std::int32_t CGraph::*integer = nullptr;
    double CGraph::*number = nullptr;
    double lowest = 0, highest = 0;
    bool lowestIncluded = true;
    bool checked = true; // refused when out of range (hidden fields are taken as they are)
};

const GraphField kGraphFields[] = {
    {CDia_Parameters::IDC_SHOW_MARKS, "Show marks", &CGraph::m_bShowMarks},
    {CDia_Parameters::IDC_SHOW_LEGEND, "Show legend", &CGraph::m_bShowLegend},
    {CDia_Parameters::IDC_LINE_WIDTH, "Line width", nullptr, &CGraph::m_nLineWidth, nullptr, 1, 20},
    {CDia_Parameters::IDC_X_SHOW_NET, "X show net", &CGraph::m_bXShowNet},
    {CDia_Parameters::IDC_X_MIN, "X min", nullptr, nullptr, &CGraph::m_dXMin, 0, 0, true, false},
    {CDia_Parameters::IDC_X_DELTA, "X delta", nullptr, nullptr, &CGraph::m_dXDelta, 0, 0, true,
     false},
    {CDia_Parameters::IDC_Y_AUTOSCALE, "Y autoscale", &CGraph::m_bYAutoscale},
    {CDia_Parameters::IDC_Y_SHOW_NET, "Y show net", &CGraph::m_bYShowNet},
    {CDia_Parameters::IDC_Y_MIN, "Y min", nullptr, nullptr, &CGraph::m_dYMin, -10000, 10000},
    {CDia_Parameters::IDC_Y_DELTA, "Y delta", nullptr, nullptr, &CGraph::m_dYDelta, 0, 10000,
     false},
};

// A parameter of the settings table shown by a control; its range is the table's.
struct SettingField {
    int control;
    const char* label;
    const char* setting;
};

const SettingField kSettingFields[] = {
    {CDia_Parameters::IDC_TEMPERATURE, "Temperature", "bShowTemperature"},
    {CDia_Parameters::IDC_PRESSURE, "Pressure", "bShowPressure"},
    {CDia_Parameters::IDC_WIND_SPEED, "Wind speed", "bShowWindSpeed"},
    {CDia_Parameters::IDC_WIND_DIRECTION, "Wind direction", "bShowWindDirection"},
    {CDia_Parameters::IDC_WRITE_FILE, "Write meteodata to file", "bWriteFile"},
    {CDia_Parameters::IDC_TIME_UTC, "Time UTC", "bShowTimeUTC"},
    {CDia_Parameters::IDC_METRIC_STYLE, "Metric style", "bMetricStyle"},
    {CDia_Parameters::IDC_NEAREST_MINUTES, "Show nearest", "dNearestMinutes"},
    {CDia_Parameters::IDC_PAST_HOURS, "Show past", "iShowPastHours"},
    {CDia_Parameters::IDC_KEEP_DAYS, "Keep observations", "iKeepDays"},
};

// "Y delta: please enter a number greater than 0 and at most 10000."
std::string RangeMessage(const char* label, bool integer, double lowest, double highest,
                         bool lowestIncluded) {
    return platform::Format("%s: please enter %s %s %g and at most %g.", label,
                            integer ? "a whole number" : "a number",
                            lowestIncluded ? "of at least" : "greater than", lowest, highest);
}

bool InRange(double v, double lowest, double highest, bool lowestIncluded) {
    return std::isfinite(v) && (lowestIncluded ? v >= lowest : v > lowest) && v <= highest;
}

} // namespace

CDia_Parameters::CDia_Parameters(QWidget* parent) : TemplateDialog(Template(), parent) {
    setObjectName(QStringLiteral("parametersDialog"));
    connect(Check(IDC_Y_AUTOSCALE), &QCheckBox::clicked, this, [this] { OnYAutoscale(); });
}

bool CDia_Parameters::OnInitDialog() {
    if (m_pGraph) {
        const CGraph& g = *m_pGraph;
        for (const GraphField& f : kGraphFields) {
            if (f.flag)
                SetChecked(f.control, g.*f.flag);
            else if (f.integer)
                SetText(f.control, platform::Format("%d", g.*f.integer));
            else
                SetText(f.control, platform::Format("%.2f", g.*f.number));
        }
        OnYAutoscale();
    }
    if (m_pCurrentStation) {
        for (const SettingField& f : kSettingFields) {
            const auto info = FindParameter(f.setting);
            const double value = GetParameter(*m_pCurrentStation, f.setting).value_or(0);
            if (info->kind == ParameterInfo::Kind::Flag) {
                SetChecked(f.control, value != 0);
            } else if (List(f.control)) {
                // The item whose text is exactly the number: 1 selects "1", not "12".
                List(f.control)->setCurrentIndex(List(f.control)->findText(
                    QString::number(static_cast<int>(value)), Qt::MatchExactly));
            } else if (info->kind == ParameterInfo::Kind::Integer) {
                SetText(f.control, platform::Format("%d", static_cast<int>(value)));
            } else {
                SetText(f.control, platform::Format("%.2f", value));
            }
        }
    }
    SetChecked(IDC_SAVE_PARAMETERS, iSaveSettings != 0);
    SetChecked(IDC_SAVE_LAYOUT, iSaveLayout != 0);
    SetChecked(IDC_RESTORE_LAYOUT, iRestoreLayout != 0);
    return true;
}

bool CDia_Parameters::Refuse(int control, const std::string& message) {
    platform::MessageBox(message, platform::MessageIcon::Exclamation);
    if (QLineEdit* edit = Edit(control)) {
        edit->setFocus();
        edit->selectAll();
    }
    return false;
}

bool CDia_Parameters::FieldsAreValid() {
    // Disabled and hidden fields are not the user's to fix: they keep what they hold.
    if (m_pGraph)
        for (const GraphField& f : kGraphFields) {
            if (f.flag || !f.checked || !Edit(f.control)->isEnabled())
                continue;
            const auto v = platform::WholeNumber(Text(f.control));
            if (!v || !InRange(*v, f.lowest, f.highest, f.lowestIncluded) ||
                (f.integer && *v != std::floor(*v)))
                return Refuse(f.control, RangeMessage(f.label, f.integer != nullptr, f.lowest,
                                                      f.highest, f.lowestIncluded));
        }
    if (m_pCurrentStation)
        for (const SettingField& f : kSettingFields) {
            const auto info = FindParameter(f.setting);
            if (info->kind == ParameterInfo::Kind::Flag || !Edit(f.control))
                continue;
            const auto v = platform::WholeNumber(Text(f.control));
            if (!v || !InRange(*v, info->lowest, info->highest, info->lowestIncluded) ||
                (info->kind == ParameterInfo::Kind::Integer && *v != std::floor(*v)))
                return Refuse(f.control,
                              RangeMessage(f.label, info->kind == ParameterInfo::Kind::Integer,
                                           info->lowest, info->highest, info->lowestIncluded));
        }
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
    if (!FieldsAreValid())
        return; // the dialog stays, the field in question has the focus
    if (m_pGraph) {
        CGraph& g = *m_pGraph;
        for (const GraphField& f : kGraphFields) {
            if (f.flag)
                g.*f.flag = IsChecked(f.control) ? 1 : 0;
            else if (f.integer)
                g.*f.integer = platform::LeadingInt(Text(f.control));
            else
                g.*f.number = platform::LeadingDouble(Text(f.control));
        }
    }
    if (m_pCurrentStation) {
        for (const SettingField& f : kSettingFields) {
            const auto info = FindParameter(f.setting);
            if (info->kind == ParameterInfo::Kind::Flag) {
                SetParameter(*m_pCurrentStation, f.setting, IsChecked(f.control) ? 1 : 0);
            } else if (const QComboBox* list = List(f.control)) {
                // With no item selected (a stored value not in the list) the previous value
                // stays: 0 would leave no meteogram window able to open.
                if (list->currentIndex() >= 0)
                    SetParameter(*m_pCurrentStation, f.setting,
                                 platform::LeadingInt(platform::ToCp1252(list->currentText())));
            } else {
                SetParameter(*m_pCurrentStation, f.setting,
                             platform::LeadingDouble(Text(f.control)));
            }
        }
    }
    iSaveSettings = IsChecked(IDC_SAVE_PARAMETERS) ? 1 : 0;
    iSaveLayout = IsChecked(IDC_SAVE_LAYOUT) ? 1 : 0;
    iRestoreLayout = IsChecked(IDC_RESTORE_LAYOUT) ? 1 : 0;
    done(IDOK);
}
