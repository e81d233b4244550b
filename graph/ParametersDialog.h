#pragma once

#include "catalogue/StationRecord.h"
#include "graph/Graph.h"
#include "platform/qt/TemplateDialog.h"

// "Parameters": the display parameters of a meteogram's graph (when opened from a meteogram
// window) and the user's settings. Whatever the fields hold when OK is pressed is written back.
class CDia_Parameters : public platform::TemplateDialog {
public:
    explicit CDia_Parameters(QWidget* parent = nullptr);

    CGraph* m_pGraph = nullptr;
    StationRecord* m_pCurrentStation = nullptr;

    // The Y Autoscale check box: Y min and Y delta follow it.
    void OnYAutoscale();

protected:
    bool OnInitDialog() override;
    void OnOK() override;
};
