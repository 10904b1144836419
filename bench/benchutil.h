// Timing helpers shared by the benchmarks: medians resist the noise of a shared machine.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <vector>

inline double medianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Median wall time of `runs` calls of `work`, in milliseconds.
template <typename Work>
double medianMilliseconds(int runs, Work work)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return medianOf(times);
}

// The readers log a line per element; a benchmark shows only warnings.
inline void dropDebugLines(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}
