#pragma once

#include "catalogue/StationRecord.h"

#include <QAbstractTableModel>

#include <array>
#include <string>
#include <vector>

// The rows of a station list: the eight texts of each station as they were when the list was
// filled, and the row's item data.
class StationListModel : public QAbstractTableModel {
public:
    static constexpr int kColumns = 8;
    struct Row {
        std::array<std::string, kColumns> texts;
        int itemData = 0;
    };

    using QAbstractTableModel::QAbstractTableModel;

    void Fill(const StationTable& stations);
    // Reorders the rows by a column: ELEV (3) by the integer value of its texts, the others
    // byte by byte; ascending or descending. Item data are renumbered to the new row numbers.
    void SortRows(int column, bool descending);
    const Row& RowAt(int row) const { return m_rows.at(static_cast<std::size_t>(row)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static const char* ColumnTitle(int column);
    static int ColumnWidth(int column);

private:
    std::vector<Row> m_rows;
};
