#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class ObservationStore;
class QComboBox;
class QDateTimeEdit;
class QLineEdit;

// File > Export Observations...: which station, which period (UTC, both ends included), which
// format and which file. In a meteogram window the station is the window's; elsewhere the user
// picks one of the stations the store holds or types a code.
class ExportObservationsDialog : public QDialog {
public:
    enum class Format { Csv, Meteodata };

    // `station` empty: the user chooses among `stations`. The period [from, to] to begin with.
    ExportObservationsDialog(QWidget* parent, const std::vector<std::string>& stations,
                             const std::string& station, std::int64_t from, std::int64_t to);

    std::string Station() const;
    std::int64_t From() const;
    std::int64_t To() const;
    Format ChosenFormat() const;
    QString Path() const;

    QComboBox* StationBox() const { return m_station; }
    QDateTimeEdit* FromEdit() const { return m_from; }
    QDateTimeEdit* ToEdit() const { return m_to; }
    QComboBox* FormatBox() const { return m_format; }
    QLineEdit* PathEdit() const { return m_path; }

    void accept() override;

private:
    // "ICAO_YYYY-MM-DD_YYYY-MM-DD.csv" (or ".txt") in the folder of the path shown.
    void SuggestPath();
    void Browse();

    QComboBox* m_station;
    QDateTimeEdit* m_from;
    QDateTimeEdit* m_to;
    QComboBox* m_format;
    QLineEdit* m_path;
    bool m_pathEdited = false;
};

// Writes the station's stored observations of [from, to] to `path`, oldest first as CSV or
// newest first in the meteodata layout, with a progress bar when it takes more than half a
// second; the file appears whole or not at all. Problems are told in a message naming the file
// and the cause. The rows written, or -1.
int ExportObservations(ObservationStore& store, const std::string& icao, std::int64_t from,
                       std::int64_t to, ExportObservationsDialog::Format format,
                       const QString& path, QWidget* parent);
