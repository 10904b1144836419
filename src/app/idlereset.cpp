#include "idlereset.h"

#include "attracttour.h"
#include "countdownoverlay.h"
#include "mainwindow.h"
#include "widgetopenGL.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>

bool isVisitorInput(const QEvent* event)
{
    if (!event->spontaneous())
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TabletPress:
        return true;
    default:
        return false;
    }
}

IdleReset::IdleReset(MainWindow* window, int idleSeconds, int tourSeconds) : QObject(window), window(window)
{
    countdownLength = std::min(idleSeconds, int(countdownSeconds));
    overlay = new CountdownOverlay(window->roomView());
    if (tourSeconds > 0)
        attractTour = new AttractTour(window, tourSeconds);

    waitTimer = new QTimer(this);
    waitTimer->setObjectName(QStringLiteral("idleTimer"));
    waitTimer->setSingleShot(true);
    waitTimer->setInterval((idleSeconds - countdownLength) * 1000);
    connect(waitTimer, SIGNAL(timeout()), this, SLOT(startCountdown()));
    tickTimer = new QTimer(this);
    tickTimer->setObjectName(QStringLiteral("countdownTimer"));
    tickTimer->setInterval(1000);
    connect(tickTimer, SIGNAL(timeout()), this, SLOT(countDown()));

    qApp->installEventFilter(this);
    restartWait();
}

IdleReset::~IdleReset()
{
    qApp->removeEventFilter(this);
    delete overlay;
}

bool IdleReset::eventFilter(QObject*, QEvent* event)
{
    if (isVisitorInput(event))
        restartWait();
    return false;
}

void IdleReset::restartWait()
{
    if (attractTour)
        attractTour->stop();
    tickTimer->stop();
    if (overlay)
        overlay->hide();
    waitTimer->start();
}

void IdleReset::startCountdown()
{
    secondsLeft = countdownLength;
    overlay->showSeconds(secondsLeft);
    tickTimer->start();
}

void IdleReset::countDown()
{
    --secondsLeft;
    if (secondsLeft > 0) {
        overlay->showSeconds(secondsLeft);
        return;
    }
    tickTimer->stop();
    overlay->hide();
    returnToStart();
}

void IdleReset::returnToStart()
{
    qDebug("Nobody at the kiosk: back to the start");
    closePopupsAndDialogs();
    if (auto* searchField = window->findChild<QLineEdit*>(QStringLiteral("searchField")))
        searchField->clear();
    window->resetSearch();
    window->clearAnimal();
    MainWindow::resetSharedState();
    WidgetOpenGL* view = window->roomView();
    view->returnToStart();
    view->setFocus(Qt::OtherFocusReason);
    if (attractTour)
        attractTour->start();
    emit startRestored();
}

void IdleReset::closePopupsAndDialogs()
{
    // A popup that refuses to close is left open rather than tried forever.
    for (QWidget* popup = QApplication::activePopupWidget(); popup;) {
        popup->close();
        QWidget* next = QApplication::activePopupWidget();
        popup = next == popup ? nullptr : next;
    }
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && qobject_cast<QDialog*>(widget))
            widget->close();
    }
}
