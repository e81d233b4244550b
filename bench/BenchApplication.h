#pragma once

#include <QApplication>

// The benchmarks' QApplication lives in main() (bench/BenchMain.cpp), on the offscreen
// platform, for as long as the benchmarks run: one that outlived main() would be destroyed after
// Qt's own globals. Benchmarks that draw or show widgets check that it is there.
inline void EnsureApplication() {
    Q_ASSERT(QApplication::instance());
}
