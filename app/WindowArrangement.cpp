#include "app/WindowArrangement.h"

#include "platform/CText.h"
#include "platform/qt/Cp1252.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace arrangement {

void Tile(QMdiArea& area, bool sideBySide) {
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : area.subWindowList())
        if (!w->isMinimized())
            windows.push_back(w);
    if (windows.empty())
        return;
    const QSize size = area.viewport()->size();
    const int count = static_cast<int>(windows.size());
    const int step = (sideBySide ? size.width() : size.height()) / count;
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* w = windows[static_cast<std::size_t>(i)];
        w->showNormal();
        w->setGeometry(sideBySide ? QRect(i * step, 0, step, size.height())
                                  : QRect(0, i * step, size.width(), step));
    }
}

void Cascade(QMdiArea& area, const std::function<QSize(QMdiSubWindow*)>& kindSize) {
    QMdiSubWindow* active = area.activeSubWindow();
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : area.subWindowList(QMdiArea::CreationOrder)) {
        if (w->isMinimized())
            continue;
        if (w->isMaximized())
            w->showNormal();
        if (w != active)
            windows.push_back(w);
    }
    if (active && !active->isMinimized())
        windows.push_back(active);
    if (windows.empty())
        return;
    const QSize room = area.viewport()->size();
    const int step = std::max(8, windows.front()->style()->pixelMetric(QStyle::PM_TitleBarHeight,
                                                                       nullptr, windows.front()));
    constexpr int kNarrowest = 100, kLowest = 60; // still a window to grab and read
    int offset = 0;
    for (QMdiSubWindow* w : windows) {
        QSize size = w->size();
        if (size.width() < kNarrowest || size.height() < kLowest) {
            const QSize own = kindSize ? kindSize(w) : QSize();
            size = own.isValid() ? own : QSize(500, 330);
        }
        // Start again at the top left before a title bar would leave the area.
        // (A window is never made lower or narrower than still readable, so that too must fit.)
        if (offset + std::max(2 * step, kLowest) > room.height() ||
            offset + kNarrowest > room.width())
            offset = 0;
        // A window wider or taller than what is left along the diagonal is shrunk to fit.
        size.setWidth(std::max(std::min(size.width(), room.width() - offset),
                               std::min(kNarrowest, room.width())));
        size.setHeight(std::max(std::min(size.height(), room.height() - offset),
                                std::min(kLowest, room.height())));
        w->setGeometry(offset, offset, size.width(), size.height());
        w->raise();
        offset += step;
    }
    if (active)
        area.setActiveSubWindow(active);
}

void ArrangeIcons(QMdiArea& area) {
    const QSize room = area.viewport()->size();
    int x = 0;
    int bottom = room.height();
    for (QMdiSubWindow* w : area.subWindowList()) {
        if (!w->isMinimized())
            continue;
        const QSize size = w->size();
        // A row that is full goes on above the last one.
        if (x > 0 && x + size.width() > room.width()) {
            x = 0;
            bottom -= size.height();
        }
        w->move(x, bottom - size.height());
        x += size.width();
    }
}

} // namespace arrangement

WindowList::WindowList(QMdiArea& area, QWidget& dialogParent)
    : QObject(&dialogParent), m_area(area), m_dialogParent(dialogParent) {}

void WindowList::Fill(QMenu* menu) {
    for (const QPointer<QAction>& action : m_actions)
        if (action) {
            menu->removeAction(action);
            action->deleteLater();
        }
    m_actions.clear();
    const QList<QMdiSubWindow*> windows = m_area.subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    menu->setToolTipsVisible(true);
    m_actions.emplace_back(menu->addSeparator());
    QMdiSubWindow* active = m_area.activeSubWindow();
    QList<QMdiSubWindow*> listed = windows.mid(0, kListed);
    // The active window is always listed, in the last place when it comes later.
    if (active && !listed.contains(active))
        listed.back() = active;
    for (int i = 0; i < listed.size(); ++i) {
        QMdiSubWindow* window = listed[i];
        const QString title = window->windowTitle();
        // An ampersand of a title is shown, not taken for a mnemonic.
        QString shown = platform::FromCp1252(platform::Elide(platform::ToCp1252(title)));
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        action->setToolTip(title);
        action->setCheckable(true);
        action->setChecked(window == active);
        const QPointer<QMdiSubWindow> target(window);
        connect(action, &QAction::triggered, this, [this, target] {
            if (target)
                m_area.setActiveSubWindow(target);
        });
        m_actions.emplace_back(action);
    }
    if (windows.size() > kListed) {
        QAction* more = menu->addAction(QStringLiteral("&More Windows..."));
        connect(more, &QAction::triggered, this, [this] { Choose(); });
        m_actions.emplace_back(more);
    }
}

void WindowList::Choose() {
    // Titles may repeat, so the row counts.
    const QList<QMdiSubWindow*> windows = m_area.subWindowList(QMdiArea::CreationOrder);
    QDialog dialog(&m_dialogParent);
    dialog.setObjectName(QStringLiteral("selectWindow"));
    dialog.setWindowTitle(QStringLiteral("Select Window"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* list = new QListWidget(&dialog);
    for (QMdiSubWindow* window : windows) {
        const QString title = window->windowTitle();
        auto* item = new QListWidgetItem(
            platform::FromCp1252(platform::Elide(platform::ToCp1252(title))), list);
        item->setToolTip(title);
    }
    list->setCurrentRow(std::max<int>(0, windows.indexOf(m_area.activeSubWindow())));
    auto* label = new QLabel(QStringLiteral("Select &window:"), &dialog);
    label->setBuddy(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(label);
    layout->addWidget(list);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int row = list->currentRow();
    if (row >= 0 && row < windows.size())
        m_area.setActiveSubWindow(windows[row]);
}
