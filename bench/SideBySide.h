#pragma once

#include <benchmark/benchmark.h>

#include <ctime>

// Ventora's way and its floor (the least a program must do for the same result) timed in the
// same iteration, in thread CPU time, so that a machine shared with other work slows both
// alike. The benchmark reports Ventora's time as its own (manual time) and three counters:
// "ventora" and "floor" in `unit`s per `per` (a row, a paint) and "ratio", Ventora's over the
// floor's.
class SideBySide {
public:
    template <typename F> static double Seconds(F&& f) {
        const double start = Now();
        f();
        return Now() - start;
    }

    template <typename V, typename F>
    void Iteration(benchmark::State& state, V&& ventora, F&& floor) {
        const double v = Seconds(ventora);
        Add(state, v, Seconds(floor));
    }

    // The same, each timed run after an untimed one of its own: for work that allocates and
    // frees large blocks, so that each meets the memory its own kind left, not the pages the
    // other's frees gave back to the system.
    template <typename V, typename F>
    void WarmIteration(benchmark::State& state, V&& ventora, F&& floor) {
        ventora();
        const double v = Seconds(ventora);
        floor();
        Add(state, v, Seconds(floor));
    }

    // `scale` turns seconds per iteration into the reported unit (1e6 / rows: microseconds
    // per row, say).
    void Report(benchmark::State& state, double scale) const {
        const double n = static_cast<double>(state.iterations());
        if (n == 0 || m_floor <= 0)
            return;
        state.counters["ventora"] = m_ventora / n * scale;
        state.counters["floor"] = m_floor / n * scale;
        state.counters["ratio"] = m_ventora / m_floor;
    }

private:
    void Add(benchmark::State& state, double ventora, double floor) {
        m_ventora += ventora;
        m_floor += floor;
        state.SetIterationTime(ventora);
    }

    static double Now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
    }

    double m_ventora = 0;
    double m_floor = 0;
};
