#include "mapview/MeteogramOutput.h"

#include "platform/CText.h"
#include "platform/CalendarTime.h"
#include "platform/qt/Cp1252.h"
#include "platform/qt/QtDrawingSurface.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace meteogram_output {

namespace {

std::string UtcText(std::int64_t t, const char* format) {
    const auto tm = platform::UtcBreakdown(t);
    return tm ? platform::Format(format, tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday,
                                 tm->tm_hour, tm->tm_min)
              : std::string("0000-00-00");
}

std::string Number(const char* format, double value) {
    return std::isfinite(value) ? platform::Format(format, value) : std::string();
}

} // namespace

std::string DefaultPictureName(const std::string& icao, std::int64_t newestUtc) {
    return icao + "_" + UtcText(newestUtc, "%04d-%02d-%02d_%02d%02d") + ".png";
}

std::string WritePicture(const QString& path, const QImage& pixels, QSize size, const Drawing& draw,
                         const QString& title) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return platform::ToCp1252(file.errorString());
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(title);
        QPainter painter;
        if (!painter.begin(&svg))
            return "the picture could not be drawn";
        platform::QtDrawingSurface surface(painter, {0, 0, size.width(), size.height()});
        draw(surface);
        painter.end();
    } else if (!pixels.save(&file, "PNG")) {
        file.cancelWriting();
        return file.error() != QFileDevice::NoError ? platform::ToCp1252(file.errorString())
                                                    : "the picture could not be encoded";
    }
    if (!file.commit())
        return platform::ToCp1252(file.errorString());
    return {};
}

bool PrintPicture(QPagedPaintDevice& device, QSize size, const Drawing& draw) {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QRect page = painter.viewport();
    const double scale = std::min(static_cast<double>(page.width()) / size.width(),
                                  static_cast<double>(page.height()) / size.height());
    painter.translate((page.width() - size.width() * scale) / 2,
                      (page.height() - size.height() * scale) / 2);
    painter.scale(scale, scale);
    platform::QtDrawingSurface surface(painter, {0, 0, size.width(), size.height()});
    draw(surface);
    return painter.end();
}

std::string ObservationTable(const ObservationSeries& series, bool metric) {
    std::string text = metric ? "Time UTC\tTemperature \xB0"
                                "C\tPressure hPa\tWind speed m/s\tWind direction \xB0\n"
                              : "Time UTC\tTemperature \xB0"
                                "F\tPressure inHg\tWind speed mph\tWind direction \xB0\n";
    for (int i = series.GetSize() - 1; i >= 0; --i) {
        ObservationRecord r = series.At(i);
        if (!metric)
            ToImperial(r);
        text += UtcText(ObservedInstant(r), "%04d-%02d-%02d %02d:%02d") + "\t" +
                Number("%.1f", r.dTemperature) + "\t" +
                (metric ? Number("%.1f", r.dPressure + 1000.0) : Number("%.2f", r.dPressure)) +
                "\t" + Number("%.1f", r.dWindSpeed) + "\t" + Number("%.0f", r.dWindDirection) +
                "\n";
    }
    return text;
}

void CopyToClipboard(const QImage& picture, const std::string& table) {
    auto* data = new QMimeData;
    data->setImageData(picture);
    const QString text = platform::FromCp1252(table);
    data->setText(text);
    data->setData(QStringLiteral("text/tab-separated-values"), text.toUtf8());
    QApplication::clipboard()->setMimeData(data);
}

} // namespace meteogram_output
