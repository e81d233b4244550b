#include "stationlist/StationListModel.h"

#include "platform/CText.h"
#include "platform/qt/Cp1252.h"

#include <algorithm>

namespace {

const char* const kTitles[] = {"STATION", "LAT", "LON", "ELEV", "CY", "CD", "ICAO", "IATA"};
const int kWidths[] = {120, 70, 70, 50, 30, 30, 50, 50};

} // namespace

const char* StationListModel::ColumnTitle(int column) {
    return kTitles[column];
}
int StationListModel::ColumnWidth(int column) {
    return kWidths[column];
}

void StationListModel::Fill(const StationTable& stations) {
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(static_cast<std::size_t>(stations.GetSize()));
    for (int i = 0; i < stations.GetSize(); ++i) {
        const StationRecord& s = stations.At(i);
        m_rows.push_back(Row{
            {s.strStation, s.strLat, s.strLon, s.strElev, s.strCY, s.strCD, s.strICAO, s.strIATA},
            i});
    }
    endResetModel();
}

void StationListModel::SortRows(int column, bool descending) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> order(m_rows.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    if (column == 3) {
        // Integer keys are read once, not at every comparison.
        std::vector<int> keys(m_rows.size());
        for (std::size_t i = 0; i < m_rows.size(); ++i)
            keys[i] = platform::LeadingInt(m_rows[i].texts[3]);
        std::stable_sort(order.begin(), order.end(), [&keys, descending](int a, int b) {
            return descending
                       ? keys[static_cast<std::size_t>(b)] < keys[static_cast<std::size_t>(a)]
                       : keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)];
        });
    } else {
        // Byte strings (std::string compares bytes as unsigned): upper case before lower case.
        const auto c = static_cast<std::size_t>(column);
        std::stable_sort(order.begin(), order.end(), [this, c, descending](int a, int b) {
            const std::string& x = m_rows[static_cast<std::size_t>(a)].texts[c];
            const std::string& y = m_rows[static_cast<std::size_t>(b)].texts[c];
            return descending ? y < x : x < y;
        });
    }
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newRow(m_rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        sorted.push_back(std::move(m_rows[static_cast<std::size_t>(order[i])]));
        sorted.back().itemData = static_cast<int>(i); // renumbered to the new row
        newRow[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
    }
    m_rows.swap(sorted);
    // The highlight and the current row move with their station.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& index : before)
        after.append(this->index(newRow[static_cast<std::size_t>(index.row())], index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int StationListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int StationListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant StationListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return platform::FromCp1252(m_rows[static_cast<std::size_t>(index.row())]
                                        .texts[static_cast<std::size_t>(index.column())]);
    if (role == Qt::TextAlignmentRole)
        return index.column() == 0 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                   : QVariant(Qt::AlignCenter);
    if (role == Qt::UserRole)
        return m_rows[static_cast<std::size_t>(index.row())].itemData;
    return {};
}

QVariant StationListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(kTitles[section]);
    if (role == Qt::TextAlignmentRole)
        return section == 0 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                            : QVariant(Qt::AlignCenter);
    return {};
}
