#include "attracttour.h"

#include "mainwindow.h"
#include "widgetopenGL.h"

#include <QTimer>

QVector<int> tourDetailIds(const AnimalData& animals, const Scene& room)
{
    QVector<int> ids;
    for (const QString& name : animals.names()) {
        const int count = animals.countExemplars(name);
        for (int k = 0; k < count; ++k) {
            const int index = animals.indexOfExemplar(name, k);
            const int id = index == -1 ? -1 : animals.records.at(index).id;
            if (id >= 0 && room.indexOfDetail(id) != -1)
                ids.append(id);
        }
    }
    return ids;
}

AttractTour::AttractTour(MainWindow* window, int dwellSeconds) : QObject(window), window(window)
{
    dwellTimer = new QTimer(this);
    dwellTimer->setObjectName(QStringLiteral("tourTimer"));
    dwellTimer->setInterval(dwellSeconds * 1000);
    connect(dwellTimer, SIGNAL(timeout()), this, SLOT(visitNext()));
}

void AttractTour::start()
{
    // Read afresh each time: F5 may have read another database meanwhile.
    stops = tourDetailIds(window->roomView()->animals(), window->roomView()->room());
    next = 0;
    if (stops.isEmpty()) {
        qWarning("No painted detail has a record in the database: the room has nothing to tour");
        return;
    }
    dwellTimer->start();
}

void AttractTour::stop()
{
    dwellTimer->stop();
}

bool AttractTour::isRunning() const
{
    return dwellTimer->isActive();
}

// As a visitor's click on the detail flies there, and as picking its name
// fills the panel and highlights it.
void AttractTour::visitNext()
{
    const int id = stops.at(next);
    next = (next + 1) % stops.size();
    WidgetOpenGL* view = window->roomView();
    view->goToDetail(id);
    if (!QMetaObject::invokeMethod(window, "showaDetailData", Q_ARG(int, id)))
        qWarning("The panel cannot show detail %d", id);
    view->ponderDetail(id);
}
