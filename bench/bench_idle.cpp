// CPU use of an unattended kiosk, as the share of one core the process takes
// while nobody touches it, on the room in data/ of the working directory:
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench/bench_idle [SECONDS]
// Three periods of SECONDS each (30 by default): the kiosk after its return to
// the start; the pointer resting on a painted animal, which pulses; and the
// same resting pointer after the return to the start, which must cost nothing.
#include "benchutil.h"

#include "attracttour.h"
#include "idlereset.h"
#include "kiosk.h"
#include "mainwindow.h"
#include "widgetopenGL.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <sys/resource.h>

namespace {

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void runEventLoopFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void measure(const char* what, int seconds)
{
    const double cpuBefore = processCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runEventLoopFor(seconds * 1000);
    const double share = (processCpuSeconds() - cpuBefore) / (wall.nsecsElapsed() / 1e9);
    std::printf("%-58s %6.3f of a core\n", what, share);
    std::fflush(stdout);
}

// Until the camera has landed, so that the flight is not counted as idle.
void settle(WidgetOpenGL* view)
{
    auto* animation = view->findChild<QTimer*>(QStringLiteral("animationTimer"));
    for (int i = 0; i < 600 && animation->isActive(); ++i)
        runEventLoopFor(50);
    runEventLoopFor(500);
}

// Flies to painted details in turn and rests the pointer on the middle of the
// view until one of them lights up under it.
bool restPointerOnAnimal(WidgetOpenGL* view)
{
    for (int id : tourDetailIds(view->animals(), view->room())) {
        view->goToDetail(id);
        settle(view);
        QCursor::setPos(view->mapToGlobal(view->rect().center() + QPoint(1, 0)));
        runEventLoopFor(100);
        QCursor::setPos(view->mapToGlobal(view->rect().center()));
        runEventLoopFor(600);
        const point3 lit = view->highlightColor();
        if (lit.x != 0.0f || lit.y != 0.0f || lit.z != 0.0f) {
            std::printf("(pointer resting on detail %d)\n", id);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    qInstallMessageHandler(dropDebugLines);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 30;

    MainWindow window;
    window.show();
    new Kiosk(&window);
    // Long enough never to come by itself: the benchmark calls the reset.
    auto* idleReset = new IdleReset(&window, 24 * 3600, 0);
    runEventLoopFor(3000);
    WidgetOpenGL* view = window.roomView();

    idleReset->returnToStart();
    settle(view);
    measure("kiosk after the return to the start", seconds);

    if (!restPointerOnAnimal(view)) {
        std::printf("no painted detail lit up under the pointer\n");
        return 1;
    }
    measure("pointer resting on an animal, before the return", seconds);
    idleReset->returnToStart();
    settle(view);
    measure("the same resting pointer after the return to the start", seconds);
    return 0;
}
