// The Parameters dialog, opened from map windows and meteogram windows.

#include "dialogs/ParametersDialog.h"
#include "catalogue/Settings.h"
#include "resources/CommandIds.h"
#include "tests/support/AppFixture.h"
#include "views/WindowKinds.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace ids;
using P = CDia_Parameters;
using testing_support::AppFixture;

class ParametersDialogTest : public AppFixture {
protected:
    // Runs the dialog on the objects, lets `interact` work on it, then presses OK or Cancel.
    static void Run(CGraph* graph, StationRecord* current, bool ok,
                    const std::function<void(CDia_Parameters&)>& interact) {
        CDia_Parameters dialog;
        dialog.m_pGraph = graph;
        dialog.m_pCurrentStation = current;
        WithModal([&] { dialog.DoModal(); },
                  [&](QWidget*) {
                      interact(dialog);
                      static_cast<QPushButton*>(dialog.Control(ok ? IDOK : IDCANCEL))->click();
                      // A refused OK leaves the dialog up: the test fails, it does not hang.
                      EXPECT_FALSE(dialog.isVisible());
                      if (dialog.isVisible())
                          static_cast<QPushButton*>(dialog.Control(IDCANCEL))->click();
                  });
    }
};

TEST_F(ParametersDialogTest, TheTemplateHasEveryControl) {
    CDia_Parameters dialog;
    EXPECT_EQ(dialog.windowTitle(), "Parameters");
    EXPECT_FALSE(dialog.Edit(P::IDC_Y_MIN)->isEnabled());
    EXPECT_FALSE(dialog.Edit(P::IDC_Y_DELTA)->isEnabled());
    EXPECT_TRUE(dialog.Check(P::IDC_X_AUTOSCALE)->isHidden());
    EXPECT_TRUE(dialog.Edit(P::IDC_X_MIN)->isHidden());
    EXPECT_TRUE(dialog.Edit(P::IDC_X_DELTA)->isHidden());
    EXPECT_EQ(dialog.Check(P::IDC_WRITE_FILE)->text(), "Write meteodata to file");
    EXPECT_EQ(dialog.Edit(P::IDC_LINE_WIDTH)->alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    QStringList hours;
    for (int i = 0; i < dialog.List(P::IDC_PAST_HOURS)->count(); ++i)
        hours << dialog.List(P::IDC_PAST_HOURS)->itemText(i);
    EXPECT_EQ(hours, QStringList({"1", "2", "3", "4", "5", "6", "12", "18", "24", "30", "36", "42",
                                  "48", "54", "60"}));
    // Positions in dialog units become pixels of the dialog font.
    const platform::DialogUnits& du = dialog.Units();
    EXPECT_EQ(dialog.ControlRect(IDOK),
              QRect(du.ToPixelsX(255), du.ToPixelsY(193), du.ToPixelsX(50), du.ToPixelsY(14)));
    EXPECT_EQ(dialog.size(), QSize(du.ToPixelsX(369), du.ToPixelsY(214)));
}

TEST_F(ParametersDialogTest, FromTheWorldMapOnlyTheSettingsChange) {
    StationRecord current;
    current.bShowTemperature = 1;
    current.iShowPastHours = 1;
    current.dNearestMinutes = 90;
    iSaveSettings = 0;
    Run(nullptr, &current, true, [](CDia_Parameters& d) {
        EXPECT_FALSE(d.IsChecked(P::IDC_SHOW_MARKS));
        EXPECT_EQ(d.Text(P::IDC_LINE_WIDTH), "");
        EXPECT_EQ(d.List(P::IDC_PAST_HOURS)->currentText(), "1"); // not "12"
        EXPECT_EQ(d.Text(P::IDC_NEAREST_MINUTES), "90.00");
        d.Check(P::IDC_Y_AUTOSCALE)->click(); // on
        d.Check(P::IDC_Y_AUTOSCALE)->click(); // off again: no graph, so the fields stay disabled
        EXPECT_FALSE(d.Edit(P::IDC_Y_MIN)->isEnabled());
        d.SetText(P::IDC_NEAREST_MINUTES, "45.5");
        d.Check(P::IDC_PRESSURE)->click();
        d.Check(P::IDC_SAVE_PARAMETERS)->click();
        d.List(P::IDC_PAST_HOURS)->setCurrentIndex(8); // "24"
    });
    EXPECT_EQ(current.dNearestMinutes, 45.5);
    EXPECT_EQ(current.bShowPressure, 1);
    EXPECT_EQ(current.bShowTemperature, 1);
    EXPECT_EQ(current.iShowPastHours, 24);
    EXPECT_EQ(iSaveSettings, 1);
}

TEST_F(ParametersDialogTest, AGraphWithAutoscaleShowsItsScaleDisabled) {
    CGraph graph;
    graph.m_bYAutoscale = 1;
    graph.m_dYMin = 11;
    graph.m_dYDelta = 1;
    graph.m_dXMin = 1.234;
    StationRecord current;
    current.dNearestMinutes = 90;
    current.iShowPastHours = 7; // not in the list
    Run(&graph, &current, true, [&](CDia_Parameters& d) {
        EXPECT_TRUE(d.IsChecked(P::IDC_Y_AUTOSCALE));
        EXPECT_EQ(d.Text(P::IDC_Y_MIN), "11.00");
        EXPECT_FALSE(d.Edit(P::IDC_Y_MIN)->isEnabled());
        EXPECT_EQ(d.List(P::IDC_PAST_HOURS)->currentIndex(), -1);
        // Unchecking enables them with the graph's current values, replacing what was typed.
        d.SetText(P::IDC_Y_MIN, "typed");
        graph.m_dYMin = 12;
        d.Check(P::IDC_Y_AUTOSCALE)->click();
        EXPECT_TRUE(d.Edit(P::IDC_Y_MIN)->isEnabled());
        EXPECT_EQ(d.Text(P::IDC_Y_MIN), "12.00");
        d.SetText(P::IDC_LINE_WIDTH, " 3 ");
        d.SetText(P::IDC_Y_DELTA, "2.5");
    });
    EXPECT_EQ(graph.m_nLineWidth, 3);
    EXPECT_EQ(graph.m_dYDelta, 2.5);
    EXPECT_EQ(graph.m_bYAutoscale, 0);
    EXPECT_EQ(graph.m_dYMin, 12.0);
    EXPECT_EQ(graph.m_dXMin, 1.23);       // the hidden field carries it, to two decimals
    EXPECT_EQ(current.iShowPastHours, 7); // kept: no item was selected
}

TEST_F(ParametersDialogTest, NonsenseIsRefusedNamingTheFieldAndItsRange) {
    const std::string yDelta = "Y delta: please enter a number greater than 0 and at most 10000.";
    const std::string yMin = "Y min: please enter a number of at least -10000 and at most 10000.";
    const std::string width =
        "Line width: please enter a whole number of at least 1 and at most 20.";
    const std::string nearest =
        "Show nearest: please enter a number greater than 0 and at most 10800.";
    const std::string keep =
        "Keep observations: please enter a whole number of at least 1 and at most 3650.";
    const struct {
        int control;
        const char* typed;
        std::string said;
    } cases[] = {
        {P::IDC_Y_DELTA, "0", yDelta},
        {P::IDC_Y_DELTA, "-5", yDelta},
        {P::IDC_Y_DELTA, "1e9", yDelta},
        {P::IDC_Y_MIN, "abc", yMin},
        {P::IDC_Y_MIN, "", yMin},
        {P::IDC_Y_MIN, "-10001", yMin},
        {P::IDC_LINE_WIDTH, "-5", width},
        {P::IDC_LINE_WIDTH, "0", width},
        {P::IDC_LINE_WIDTH, "21", width},
        {P::IDC_LINE_WIDTH, "3abc", width},
        {P::IDC_LINE_WIDTH, "2.5", width},
        {P::IDC_NEAREST_MINUTES, "nan", nearest},
        {P::IDC_NEAREST_MINUTES, "inf", nearest},
        {P::IDC_NEAREST_MINUTES, "-5", nearest},
        {P::IDC_NEAREST_MINUTES, "0", nearest},
        {P::IDC_NEAREST_MINUTES, "1e308", nearest},
        {P::IDC_KEEP_DAYS, "0", keep},
        {P::IDC_KEEP_DAYS, "3651", keep},
        {P::IDC_KEEP_DAYS, "30.5", keep},
        {P::IDC_KEEP_DAYS, "", keep},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        CGraph graph;
        graph.m_bYAutoscale = 0;
        graph.m_dYMin = -10;
        graph.m_dYDelta = 5;
        StationRecord current;
        current.dNearestMinutes = 45;
        m_recorder.messages.clear();
        // OK is refused and the dialog stays with the field in question; Cancel then leaves
        // everything as it was.
        Run(&graph, &current, false, [&](CDia_Parameters& d) {
            d.SetText(c.control, c.typed);
            static_cast<QPushButton*>(d.Control(IDOK))->click();
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(d.focusWidget(), d.Edit(c.control));
        });
        ASSERT_EQ(m_recorder.messages.size(), 1u);
        EXPECT_EQ(m_recorder.messages[0].text, c.said);
        EXPECT_EQ(graph.m_dYDelta, 5);
        EXPECT_EQ(graph.m_dYMin, -10);
        EXPECT_EQ(graph.m_nLineWidth, 1);
        EXPECT_EQ(current.dNearestMinutes, 45);
        EXPECT_EQ(current.iKeepDays, 90);
    }
    // The bounds themselves are taken.
    CGraph graph;
    graph.m_bYAutoscale = 0;
    StationRecord current;
    current.dNearestMinutes = 90;
    Run(&graph, &current, true, [](CDia_Parameters& d) {
        d.SetText(P::IDC_Y_DELTA, "10000");
        d.SetText(P::IDC_Y_MIN, "-10000");
        d.SetText(P::IDC_LINE_WIDTH, "20");
        d.SetText(P::IDC_NEAREST_MINUTES, "10800");
        EXPECT_EQ(d.Text(P::IDC_KEEP_DAYS), "90");
        d.SetText(P::IDC_KEEP_DAYS, "3650");
    });
    EXPECT_EQ(graph.m_dYDelta, 10000);
    EXPECT_EQ(graph.m_dYMin, -10000);
    EXPECT_EQ(graph.m_nLineWidth, 20);
    EXPECT_EQ(current.dNearestMinutes, 10800);
    EXPECT_EQ(current.iKeepDays, 3650);
}

TEST_F(ParametersDialogTest, CancelChangesNothing) {
    CGraph graph;
    StationRecord current;
    current.dNearestMinutes = 90;
    Run(&graph, &current, false, [](CDia_Parameters& d) {
        d.SetText(P::IDC_NEAREST_MINUTES, "10");
        d.SetText(P::IDC_LINE_WIDTH, "9");
    });
    EXPECT_EQ(current.dNearestMinutes, 90);
    EXPECT_EQ(graph.m_nLineWidth, 1);
}

TEST_F(ParametersDialogTest, OpenedFromTheWorldMapWindow) {
    Start(testing_support::SampleStationList());
    WithModal([&] { Frame().Action(ID_VIEW_PARAMETERS)->trigger(); },
              [](QWidget* dialog) {
                  auto* d = static_cast<CDia_Parameters*>(dialog);
                  EXPECT_EQ(d->m_pGraph, nullptr);
                  d->SetText(P::IDC_NEAREST_MINUTES, "30");
                  static_cast<QPushButton*>(d->Control(IDOK))->click();
              });
    EXPECT_EQ(Frame().CurrentStation().dNearestMinutes, 30.0);
}
