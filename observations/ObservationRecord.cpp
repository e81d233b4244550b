#include "observations/ObservationRecord.h"

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
