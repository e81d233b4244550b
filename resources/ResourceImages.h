#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

// The program's pictures and help text.
namespace resources {

// Window icons: 128 main frame, 129 map windows, 501 list windows.
QIcon Icon(int id);
QIcon ToolbarIcon(int command);
// Bitmap 130: 540 x 341 pixels, the world in x 20..519, y 45..294.
const QImage& WorldMap();
QString HelpHtml();

} // namespace resources
