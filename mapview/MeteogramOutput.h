#pragma once

#include "observations/ObservationRecord.h"
#include "platform/DrawingSurface.h"

#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>

class QImage;
class QPagedPaintDevice;

// What leaves a meteogram window: its picture as a file, on paper or on the clipboard, and its
// observations as a table. Files are written beside their place and renamed into it at the end,
// so a failure leaves nothing half-written.
namespace meteogram_output {

using Drawing = std::function<void(platform::DrawingSurface&)>;

// "ICAO_YYYY-MM-DD_HHMM.png": the station and the UTC time of its newest observation.
std::string DefaultPictureName(const std::string& icao, std::int64_t newestUtc);

// A picture file: SVG when the name ends in ".svg" (any case), PNG otherwise. The PNG holds
// `pixels`; the SVG the drawing at `size`, with its title. Empty on success, else the cause.
std::string WritePicture(const QString& path, const QImage& pixels, QSize size, const Drawing& draw,
                         const QString& title);

// The drawing at `size` scaled to the printable area of the page, keeping its proportions and
// centred. False when the device could not be painted on.
bool PrintPicture(QPagedPaintDevice& device, QSize size, const Drawing& draw);

// The observations, oldest first, as tab-separated lines (LF) under a header row naming each
// quantity with its unit: the UTC time "YYYY-MM-DD HH:MM", then temperature, pressure, wind
// speed and wind direction in the window's units; a missing value is an empty field.
std::string ObservationTable(const ObservationSeries& series, bool metric);

// Puts the picture and the text (UTF-8 of the Windows-1252 table, also as
// "text/tab-separated-values") on the clipboard.
void CopyToClipboard(const QImage& picture, const std::string& table);

} // namespace meteogram_output
