#pragma once

#include "observations/ObservationRecord.h"

// The rows of one station from the store and from a page just read, as one series newest
// first with each observed instant (ObservedInstant) once: a page row replaces the stored row
// of its instant, a stored row the page lacks stays, and of page rows sharing an instant the
// first (the page's own order) wins, as ObservationStore::SaveSeries keeps it.
ObservationSeries MergeObservations(const ObservationSeries& stored, const ObservationSeries& page);
