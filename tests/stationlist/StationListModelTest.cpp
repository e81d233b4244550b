#include "stationlist/StationListModel.h"

#include <gtest/gtest.h>

namespace {

StationTable Stations(std::initializer_list<std::pair<const char*, const char*>> nameElev) {
    StationTable t;
    for (const auto& [name, elev] : nameElev) {
        StationRecord s;
        s.strStation = name;
        s.strElev = elev;
        s.strLat = name;
        t.Add(s);
    }
    return t;
}

std::vector<std::string> Column(const StationListModel& m, int column) {
    std::vector<std::string> texts;
    for (int r = 0; r < m.rowCount(); ++r)
        texts.push_back(m.RowAt(r).texts[static_cast<std::size_t>(column)]);
    return texts;
}

} // namespace

TEST(StationListModel, ElevationSortsAsIntegersTheOthersAsBytes) {
    StationListModel m;
    m.Fill(Stations({{"b", "100"},
                     {"B", "9"},
                     {"a", "10"},
                     {"\xC4"
                      "rhus",
                      "-5"},
                     {"x", "abc"}}));
    m.SortRows(3, false);
    EXPECT_EQ(Column(m, 3), (std::vector<std::string>{"-5", "abc", "9", "10", "100"}));
    m.SortRows(1, false); // LAT holds the names here: byte order, upper case first
    EXPECT_EQ(Column(m, 1), (std::vector<std::string>{"B", "a", "b", "x",
                                                      "\xC4"
                                                      "rhus"}));
    m.SortRows(1, true);
    EXPECT_EQ(Column(m, 1), (std::vector<std::string>{"\xC4"
                                                      "rhus",
                                                      "x", "b", "a", "B"}));
    for (int r = 0; r < m.rowCount(); ++r)
        EXPECT_EQ(m.RowAt(r).itemData, r); // renumbered to the new rows
}

TEST(StationListModel, ColumnsTitlesWidthsAndAlignment) {
    StationListModel m;
    m.Fill(Stations({{"A", "1"}}));
    const char* titles[] = {"STATION", "LAT", "LON", "ELEV", "CY", "CD", "ICAO", "IATA"};
    const int widths[] = {120, 70, 70, 50, 30, 30, 50, 50};
    ASSERT_EQ(m.columnCount(), 8);
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(m.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(),
                  titles[c]);
        EXPECT_EQ(StationListModel::ColumnWidth(c), widths[c]);
        const int align = m.data(m.index(0, c), Qt::TextAlignmentRole).toInt();
        EXPECT_EQ(align & Qt::AlignHorizontal_Mask, c == 0 ? Qt::AlignLeft : Qt::AlignHCenter);
    }
}
