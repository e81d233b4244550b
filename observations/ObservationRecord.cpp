#include "observations/ObservationRecord.h"

#include "observations/ReportProtocol.h"
#include "platform/CalendarTime.h"

void ResetObservation(ObservationRecord& record) {
    record = ObservationRecord{};
}

void ToImperial(ObservationRecord& record) {
    record.dTemperature = record.dTemperature * 1.8 + 32;
    record.dPressure = record.dPressureInHg;
    record.dWindSpeed = record.dWindSpeed * 2.2369418519393043;
}

double WindDirectionTens(double degrees) {
    return (degrees < 180 ? degrees : degrees - 360) * 0.1;
}

std::int64_t ObservedInstant(const ObservationRecord& record) {
    if (record.tObservedUtc != 0)
        return record.tObservedUtc;
    const auto tm = platform::LocalBreakdown(record.tObserved);
    if (!tm)
        return record.tObserved;
    const auto instant = platform::MakeUtcTime(
        {tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday, tm->tm_hour, tm->tm_min, tm->tm_sec});
    return instant ? *instant : record.tObserved;
}

bool IsSimulated(const ObservationRecord& record) {
    return record.strReport.find(protocol::kSimulatedRemark) != std::string::npos;
}
