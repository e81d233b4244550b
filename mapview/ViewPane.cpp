#include "mapview/ViewPane.h"

#include "platform/CText.h"
#include "platform/CalendarTime.h"
#include "views/WindowHost.h"
#include "views/WindowKinds.h"

const StationRecord& ViewPane::Station() const {
    static const StationRecord none;
    return none;
}

void ViewPane::OpenNearestList() {
    m_host.OpenWindow(KIND_RESULT_LIST, "Nearest stations");
}

MapColouring ViewPane::Colouring() const {
    const StationRecord& settings = m_host.CurrentStation();
    MapColouring colouring;
    colouring.mode = m_host.MapColourMode();
    colouring.conditions = &m_host.Conditions();
    colouring.metric = settings.bMetricStyle != 0;
    colouring.now = platform::CurrentTime();
    return colouring;
}
