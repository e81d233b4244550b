#include "store/ObservationMerge.h"

#include <algorithm>
#include <cstdint>
#include <vector>

ObservationSeries MergeObservations(const ObservationSeries& stored,
                                    const ObservationSeries& page) {
    struct Row {
        std::int64_t instant;
        const ObservationRecord* record;
    };
    std::vector<Row> rows;
    rows.reserve(static_cast<std::size_t>(page.GetSize() + stored.GetSize()));
    // Page rows first: the stable sort keeps them ahead of stored rows of the same instant.
    for (const ObservationSeries* series : {&page, &stored})
        for (const ObservationRecord& record : *series)
            rows.push_back({ObservedInstant(record), &record});
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.instant > b.instant; });
    const auto end = std::unique(rows.begin(), rows.end(),
                                 [](const Row& a, const Row& b) { return a.instant == b.instant; });

    ObservationSeries merged;
    merged.Reserve(static_cast<int>(end - rows.begin()));
    for (auto row = rows.begin(); row != end; ++row)
        merged.Add(*row->record);
    return merged;
}
