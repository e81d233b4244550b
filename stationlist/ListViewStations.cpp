#include "stationlist/ListViewStations.h"

#include "catalogue/StationCatalogue.h"
#include "dialogs/FindDialog.h"
#include "platform/Abandon.h"
#include "platform/CText.h"
#include "platform/UserServices.h"
#include "platform/qt/Cp1252.h"
#include "resources/CommandIds.h"
#include "views/WindowHost.h"
#include "views/WindowKinds.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

std::int32_t m_nSortColumn = 0;
std::uint8_t m_bSortDescending = 0;

CListView_Stations::CListView_Stations(WindowHost& host)
    : CViewBase(host), m_pCatalogue(&host.Catalogue()) {
    if (m_nKind == KIND_ALL_STATIONS)
        m_pStations = &host.StationsAll();
    else if (m_nKind == KIND_RESULT_LIST)
        m_pStations = &host.StationsResult();

    SetCommands({
        {ids::ID_VIEW_FIND_STATION, [this] { OnFindStation(); }},
        {ids::ID_EDIT_COPY, [this] { CopySelectedRows(); },
         [this] { return platform::CommandUi{!SelectedRows().empty()}; }},
    });

    m_model = new StationListModel(this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("stationTable"));
    m_table->setModel(m_model);
    m_table->setShowGrid(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setMouseTracking(true); // rows light up under the pointer
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 4);
    m_table->horizontalHeader()->setSectionsClickable(true);
    m_table->horizontalHeader()->setHighlightSections(false);
    m_table->setWordWrap(false);
    for (int c = 0; c < StationListModel::kColumns; ++c)
        m_table->setColumnWidth(c, StationListModel::ColumnWidth(c));
    m_table->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);

    connect(m_table->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        platform::AbandonOnError([this, column] { OnColumnClick(column); });
    });
    connect(m_table, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        platform::AbandonOnError([this, index] { ActivateRow(index.row()); });
    });
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    OnItemChanged(current.row());
            });
}

void CListView_Stations::OnInitialUpdate() {
    Fill();
    m_host.RegisterLayoutEntry(m_nKind, StationRecord{}, this);
}

void CListView_Stations::Fill() {
    platform::WaitCursor wait;
    static const StationTable none;
    m_model->Fill(m_pStations ? *m_pStations : none);
    m_nSortColumn = 0;
    m_model->SortRows(m_nSortColumn, m_bSortDescending);
    // No row is current until the user picks one: otherwise the focus would make the first row
    // current without selecting it, and the first Down would go to the second.
    m_table->setCurrentIndex(QModelIndex());
}

void CListView_Stations::OnColumnClick(int column) {
    m_bSortDescending = !m_bSortDescending;
    m_nSortColumn = column;
    {
        platform::WaitCursor wait;
        m_model->SortRows(m_nSortColumn, m_bSortDescending);
    }
}

void CListView_Stations::OnItemChanged(int row) {
    if (!isVisible())
        return;
    m_host.SetStatusText(platform::Format(" Line: %6d / %6d", row + 1, m_model->rowCount()));
    m_nCurrentRow = row;
}

void CListView_Stations::ActivateRow(int row) {
    if (row < 0 || row >= m_model->rowCount() || !m_pStations)
        return;
    // The row's station by its code and name: stations without a code are told apart by their
    // names, and never stand in for one another.
    const StationListModel::Row& shown = m_model->RowAt(row);
    const std::string& icao = shown.texts[6];
    const StationRecord* found = nullptr;
    {
        platform::WaitCursor wait;
        for (const StationRecord& s : *m_pStations)
            if (s.strICAO == icao && s.strStation == shown.texts[0]) {
                found = &s;
                break;
            }
    }
    if (found)
        m_pCatalogue->SelectStation(*found);
}

int CListView_Stations::SelectedRow() const {
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

std::vector<int> CListView_Stations::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : m_table->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::string CListView_Stations::SelectedRowsText() const {
    std::string text;
    for (int c = 0; c < StationListModel::kColumns; ++c)
        text += std::string(c ? "\t" : "") + StationListModel::ColumnTitle(c);
    text += "\n";
    for (int row : SelectedRows()) {
        const auto& texts = m_model->RowAt(row).texts;
        for (int c = 0; c < StationListModel::kColumns; ++c)
            text += (c ? "\t" : "") + platform::Trim(texts[static_cast<std::size_t>(c)]);
        text += "\n";
    }
    return text;
}

void CListView_Stations::CopySelectedRows() {
    if (SelectedRows().empty())
        return;
    const QString text = platform::FromCp1252(SelectedRowsText());
    auto* data = new QMimeData;
    data->setText(text);
    data->setData(QStringLiteral("text/tab-separated-values"), text.toUtf8());
    QApplication::clipboard()->setMimeData(data);
}

bool CListView_Stations::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_table && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        bool handled = false;
        platform::AbandonOnError([&] { handled = OnKey(*key); });
        if (handled)
            return true;
    }
    return CViewBase::eventFilter(watched, event);
}

bool CListView_Stations::OnKey(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
        // The selected row (wherever a sort moved it); nothing when none is selected.
        const int row = SelectedRow();
        if (row >= 0)
            ActivateRow(row);
        return true;
    }
    // The table would copy only the cell under its cursor.
    if (key.matches(QKeySequence::Copy)) {
        CopySelectedRows();
        return true;
    }
    if (key.key() == Qt::Key_F && (key.modifiers() & Qt::ControlModifier)) {
        OnFindStation();
        return true;
    }
    if ((key.key() == Qt::Key_Home || key.key() == Qt::Key_End) && m_model->rowCount() > 0) {
        // The first and the last row, as in a list (a table would move along the row).
        m_table->selectRow(key.key() == Qt::Key_Home ? 0 : m_model->rowCount() - 1);
        return true;
    }
    return false;
}

void CListView_Stations::OnFindStation() {
    CDia_Find dialog;
    if (dialog.DoModal() == ids::IDOK) {
        platform::WaitCursor wait;
        m_pCatalogue->SearchStations(m_strFindText, m_host.StationsAll(), false, true);
    }
}
