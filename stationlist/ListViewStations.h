#pragma once

#include "catalogue/StationRecord.h"
#include "stationlist/StationListModel.h"
#include "views/ViewBase.h"

#include <string>
#include <vector>

class QKeyEvent;
class QTableView;
class StationCatalogue;

// The sort state shared by all station lists: the column and the direction of the last sort.
extern std::int32_t m_nSortColumn;
extern std::uint8_t m_bSortDescending;

// A sortable table of stations: all stations, or the latest search or nearest-stations result.
class CListView_Stations : public CViewBase {
public:
    explicit CListView_Stations(WindowHost& host);

    void OnInitialUpdate() override;
    bool IsMapView() const override { return false; }

    // A press on the header of a column: sorts the rows by it, reversing the shared direction.
    void OnColumnClick(int column);
    // Opens the station of a row (double-click or Enter).
    void ActivateRow(int row);
    void OnFindStation();

    QTableView* Table() const { return m_table; }
    const StationListModel& Model() const { return *m_model; }
    int CurrentRow() const { return m_nCurrentRow; }
    // The selected row (the first of several), or -1.
    int SelectedRow() const;
    // The selected rows, in the list's order.
    std::vector<int> SelectedRows() const;
    // Edit > Copy: a header row, then the selected rows, their texts tab-separated.
    std::string SelectedRowsText() const;
    void CopySelectedRows();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Fill();
    void OnItemChanged(int row);
    // Keys of the list's own: Enter, Ctrl+F, Home, End; false for the list control's keys.
    bool OnKey(const QKeyEvent& key);

    int m_nCurrentRow = -1;
    StationCatalogue* m_pCatalogue;
    StationTable* m_pStations = nullptr;
    StationListModel* m_model;
    QTableView* m_table;
};
