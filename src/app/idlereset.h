// An unattended kiosk returns to its start after a while without input, with
// a countdown of the last seconds, and then may run the attract tour, so that
// the next visitor finds the room as the first one did.
#pragma once

#include "countdownoverlay.h"

#include <QObject>
#include <QPointer>

class AttractTour;
class MainWindow;
class QEvent;
class QTimer;

// Watches every input of the application (an event filter on it): any key,
// button, wheel, touch or pointer movement hides the countdown, stops the tour
// and starts the wait again. After a return to the start nothing runs until
// the next input, so that an idle kiosk costs nothing.
class IdleReset : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(IdleReset)

public:
    static constexpr int countdownSeconds = 10;

    // tourSeconds 0: no tour.
    IdleReset(MainWindow* window, int idleSeconds, int tourSeconds);
    ~IdleReset() override;

    CountdownOverlay* countdown() const { return overlay; }
    AttractTour* tour() const { return attractTour; }

public slots:
    // The start state: camera flown to the room's start view, empty panel and
    // search, full name lists, no highlight, glance or pulse, no popup or dialog.
    void returnToStart();

signals:
    void startRestored();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void startCountdown();
    void countDown();

private:
    void restartWait();
    void closePopupsAndDialogs();

    MainWindow* window = nullptr;
    // Goes with the view when the window closes first.
    QPointer<CountdownOverlay> overlay;
    AttractTour* attractTour = nullptr;
    QTimer* waitTimer = nullptr;
    QTimer* tickTimer = nullptr;
    int countdownLength = 0;
    int secondsLeft = 0;
};

// Keys, buttons, wheel, touch and pointer movement that come from the visitor
// (spontaneous events: Qt's own synthetic moves, when a widget appears under a
// resting pointer, do not count).
bool isVisitorInput(const QEvent* event);
