// Tile, Cascade and Arrange Icons on a bare window area, with minimised windows among the rest
// and more windows than a diagonal holds.

#include "app/WindowArrangement.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct Area {
    QMdiArea area;
    std::vector<QMdiSubWindow*> windows;

    Area(int count, QSize size, QSize room) {
        area.resize(room);
        area.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area.show();
        for (int i = 0; i < count; ++i) {
            QMdiSubWindow* w = area.addSubWindow(new QWidget);
            w->resize(size);
            w->show();
            windows.push_back(w);
        }
        QApplication::processEvents();
    }
    QRect Room() const { return QRect(QPoint(0, 0), area.viewport()->size()); }
    void Minimise(std::initializer_list<int> which) {
        for (int i : which)
            windows[static_cast<std::size_t>(i)]->showMinimized();
        QApplication::processEvents();
    }
};

} // namespace

TEST(WindowArrangement, TileSharesTheAreaAmongWindowsNotMinimised) {
    for (const bool sideBySide : {true, false}) {
        Area a(5, QSize(200, 150), QSize(600, 400));
        a.Minimise({1, 3});
        const QRect icon = a.windows[1]->geometry();
        arrangement::Tile(a.area, sideBySide);
        QApplication::processEvents();
        const QSize room = a.Room().size();
        const int step = (sideBySide ? room.width() : room.height()) / 3;
        int i = 0;
        for (int n : {0, 2, 4}) {
            QMdiSubWindow* w = a.windows[static_cast<std::size_t>(n)];
            EXPECT_FALSE(w->isMinimized());
            EXPECT_EQ(w->geometry(), sideBySide ? QRect(i * step, 0, step, room.height())
                                                : QRect(0, i * step, room.width(), step))
                << sideBySide << " window " << n;
            ++i;
        }
        // Minimised windows stay icons where they were.
        EXPECT_TRUE(a.windows[1]->isMinimized());
        EXPECT_TRUE(a.windows[3]->isMinimized());
        EXPECT_EQ(a.windows[1]->geometry(), icon);
    }
}

TEST(WindowArrangement, ArrangeIconsLinesIconsUpAlongTheBottomInRows) {
    Area a(6, QSize(200, 150), QSize(400, 300));
    a.Minimise({0, 1, 2, 3, 5});
    const QRect open = a.windows[4]->geometry();
    arrangement::ArrangeIcons(a.area);
    QApplication::processEvents();
    const QSize icon = a.windows[0]->size();
    const int perRow = a.Room().width() / icon.width();
    ASSERT_GE(perRow, 1);
    ASSERT_LT(perRow, 5); // so that the icons need a second row
    const int bottom = a.Room().height();
    int n = 0;
    for (int i : {0, 1, 2, 3, 5}) {
        const QMdiSubWindow* w = a.windows[static_cast<std::size_t>(i)];
        EXPECT_EQ(w->pos(),
                  QPoint(n % perRow * icon.width(), bottom - (n / perRow + 1) * icon.height()))
            << "icon " << n;
        EXPECT_TRUE(a.Room().contains(w->geometry()));
        ++n;
    }
    EXPECT_EQ(a.windows[4]->geometry(), open); // a window not minimised is no icon
}

TEST(WindowArrangement, CascadeGivesAWindowSqueezedToAStubTheSizeOfItsKind) {
    Area a(4, QSize(250, 180), QSize(800, 600));
    a.windows[0]->resize(100, 60); // the least that is still a window
    a.windows[1]->resize(99, 150);
    a.windows[2]->resize(150, 59);
    arrangement::Cascade(a.area, [](QMdiSubWindow*) { return QSize(300, 200); });
    QApplication::processEvents();
    EXPECT_EQ(a.windows[0]->size(), QSize(100, 60));
    EXPECT_EQ(a.windows[1]->size(), QSize(300, 200));
    EXPECT_EQ(a.windows[2]->size(), QSize(300, 200));
    EXPECT_EQ(a.windows[3]->size(), QSize(250, 180));
}

TEST(WindowArrangement, CascadeWrapsManyWindowsAndKeepsEveryTitleBarInside) {
    Area a(30, QSize(250, 180), QSize(500, 320));
    a.Minimise({7});
    const QRect icon = a.windows[7]->geometry();
    a.area.setActiveSubWindow(a.windows[3]);
    arrangement::Cascade(a.area, {});
    QApplication::processEvents();
    const int step = std::max(
        8, a.windows[0]->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, a.windows[0]));
    int wraps = 0;
    QPoint previous(-1, -1);
    for (QMdiSubWindow* w : a.area.subWindowList(QMdiArea::StackingOrder)) {
        if (w == a.windows[7])
            continue;
        EXPECT_TRUE(a.Room().contains(w->geometry())) << w->x() << "," << w->y();
        EXPECT_EQ(w->x(), w->y());
        EXPECT_GE(w->width(), 100);
        if (w->pos().x() < previous.x()) {
            ++wraps;
            EXPECT_EQ(w->pos(), QPoint(0, 0));
        } else if (previous.x() >= 0) {
            EXPECT_EQ(w->x(), previous.x() + step);
        }
        previous = w->pos();
    }
    EXPECT_GE(wraps, 2);
    EXPECT_EQ(a.area.subWindowList(QMdiArea::StackingOrder).last(), a.windows[3]);
    EXPECT_TRUE(a.windows[7]->isMinimized());
    EXPECT_EQ(a.windows[7]->geometry(), icon);
}
