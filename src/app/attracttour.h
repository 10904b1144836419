// While nobody is at the kiosk, the camera visits the painted animals one
// after another, to draw passers-by in.
#pragma once

#include <QObject>
#include <QVector>

class AnimalData;
class MainWindow;
class QTimer;
class Scene;

// The details the tour visits: every exemplar that is painted in the room, by
// animal name and, within a name, in the order of the panel's exemplar buttons.
QVector<int> tourDetailIds(const AnimalData& animals, const Scene& room);

class AttractTour : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(AttractTour)

public:
    AttractTour(MainWindow* window, int dwellSeconds);

    // Begins from the first detail, one dwell after the call.
    void start();
    // At once; the camera and the panel stay where the tour left them.
    void stop();
    bool isRunning() const;

private slots:
    void visitNext();

private:
    MainWindow* window = nullptr;
    QTimer* dwellTimer = nullptr;
    QVector<int> stops;
    int next = 0;
};
