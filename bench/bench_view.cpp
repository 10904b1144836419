// Frame time and mouse-over test time of the 3D view at 1280 x 800 on the room
// in data/ of the working directory (the build folder holds the demo room):
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench/bench_view
// The mouse-over test draws only the pixel it reads, so it should cost at most
// a quarter of a visible frame.
#include "benchutil.h"
#include "widgetopenGL.h"

#include "scene.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const int runs = 7;
const int passesPerRun = 10;

// Milliseconds per call of `pass`, as the median of several runs.
template <typename Pass>
double medianMilliseconds(Pass pass)
{
    std::vector<double> perRun;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < passesPerRun; ++i)
            pass(i);
        glFinish();
        perRun.push_back(clock.nsecsElapsed() / 1.0e6 / passesPerRun);
    }
    return medianOf(perRun);
}

template <typename Condition>
bool waitFor(Condition condition)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return condition();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (!QFile::exists("data/Stanza.xml")) {
        std::fprintf(stderr, "No room at %s/data/Stanza.xml: run from the build folder\n",
                     qPrintable(QDir::currentPath()));
        return 1;
    }
    WidgetOpenGL view;
    view.resize(1280, 800);
    view.show();
    // The first paint makes the textures.
    if (!waitFor([&] { return view.room().texturesUploaded; }))
        return 1;
    // Only the passes measured here draw.
    for (const char* name : {"pickTimer", "blinkTimer", "animationTimer", "glanceTimer"})
        view.findChild<QTimer*>(name)->stop();
    view.updateGL();

    const double frame = medianMilliseconds([&](int) { view.updateGL(); });
    // The pointer wanders over the middle of the view, where the panels are.
    const double mouseOver = medianMilliseconds([&](int i) {
        QMouseEvent move(QEvent::MouseMove, QPoint(440 + 40 * i, 300 + 20 * (i % 5)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &move);
        view.updateObjectUnderMouse();
    });
    std::printf("view %dx%d, %d sections, %d details, median of %d runs of %d passes\n", view.width(),
                view.height(), view.room().sections.size(), view.room().details.size(), runs, passesPerRun);
    std::printf("visible frame      %8.3f ms\n", frame);
    std::printf("mouse-over test    %8.3f ms\n", mouseOver);
    std::printf("mouse-over / frame %8.3f (at most 0.25 wanted)\n", mouseOver / frame);
    return 0;
}
