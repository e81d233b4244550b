#include "resources/ResourceImages.h"

#include "resources/CommandIds.h"

#include <QFile>
#include <QPixmap>

#include "resources/icons/icon_list.xpm"
#include "resources/icons/icon_mainframe.xpm"
#include "resources/icons/icon_map.xpm"
#include "resources/icons/tb_find.xpm"
#include "resources/icons/tb_mark_all.xpm"
#include "resources/icons/tb_parameters.xpm"
#include "resources/icons/tb_show_all.xpm"

static void InitResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace resources {

QIcon Icon(int id) {
    switch (id) {
    case ids::IDR_MAINFRAME:
        return QIcon(QPixmap(icon_mainframe));
    case ids::IDR_VENTORTYPE:
        return QIcon(QPixmap(icon_map));
    case ids::IDR_LISTTYPE:
        return QIcon(QPixmap(icon_list));
    default:
        return QIcon();
    }
}

QIcon ToolbarIcon(int command) {
    switch (command) {
    case ids::ID_VIEW_PARAMETERS:
        return QIcon(QPixmap(tb_parameters));
    case ids::ID_VIEW_MARK_ALL_STATIONS:
        return QIcon(QPixmap(tb_mark_all));
    case ids::ID_VIEW_SHOW_ALL_STATIONS:
        return QIcon(QPixmap(tb_show_all));
    case ids::ID_VIEW_FIND_STATION:
        return QIcon(QPixmap(tb_find));
    default:
        return QIcon();
    }
}

const QImage& WorldMap() {
    InitResources();
    static const QImage map(QStringLiteral(":/ventora/worldmap.png"));
    return map;
}

QString HelpHtml() {
    InitResources();
    QFile file(QStringLiteral(":/ventora/help.html"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace resources
