#include "kiosk.h"

#include "idlereset.h"
#include "mainwindow.h"
#include "programoptions.h"
#include "widgetopenGL.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTimer>

namespace {

// Rows of a pick list's popup a finger can hit.
class FingerHighItems : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index).expandedTo(QSize(0, Kiosk::fingerHeight));
    }
};

} // namespace

Kiosk::Kiosk(MainWindow* window) : QObject(window), window(window)
{
    window->setBrowserAllowed(false);
    disableFullScreenToggles();
    fitPanelToFingers();

    auto* staffExit = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+Q")), window);
    staffExit->setObjectName(QStringLiteral("staffExitShortcut"));
    staffExit->setContext(Qt::ApplicationShortcut);
    connect(staffExit, &QShortcut::activated, qApp, [] { QApplication::exit(0); });

    pointerTimer = new QTimer(this);
    pointerTimer->setObjectName(QStringLiteral("pointerTimer"));
    pointerTimer->setSingleShot(true);
    pointerTimer->setInterval(pointerHideMilliseconds);
    connect(pointerTimer, SIGNAL(timeout()), this, SLOT(hidePointer()));
    pointerTimer->start();

    window->setWindowFlags(window->windowFlags() | Qt::FramelessWindowHint);
    coverScreen();
    window->installEventFilter(this);
    qApp->installEventFilter(this);
}

Kiosk::~Kiosk()
{
    qApp->removeEventFilter(this);
    showPointer();
}

void Kiosk::disableFullScreenToggles()
{
    const QList<QKeySequence> toggles = {QKeySequence(QStringLiteral("ctrl+F"), QKeySequence::NativeText),
                                         QKeySequence(QStringLiteral("alt+Return"), QKeySequence::NativeText)};
    for (QShortcut* shortcut : window->findChildren<QShortcut*>()) {
        if (toggles.contains(shortcut->key()))
            shortcut->setEnabled(false);
    }
}

// The panel's widgets go by their object names. Taller boxes and buttons only
// widen the panel where a label needs it; the exemplar buttons become squares.
void Kiosk::fitPanelToFingers()
{
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        const bool exemplar = button->objectName().startsWith(QLatin1String("exemplarButton"));
        button->setMinimumSize(exemplar ? qMax(button->minimumWidth(), fingerHeight) : button->minimumWidth(),
                               fingerHeight);
    }
    for (QComboBox* box : window->findChildren<QComboBox*>()) {
        box->setMinimumHeight(fingerHeight);
        box->setItemDelegate(new FingerHighItems(box));
    }
    for (QLineEdit* field : window->findChildren<QLineEdit*>())
        field->setMinimumHeight(fingerHeight);
}

bool Kiosk::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window) {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        // A window manager's own keys may still shrink the window.
        if (event->type() == QEvent::WindowStateChange && !window->isFullScreen())
            QTimer::singleShot(0, this, SLOT(coverScreen()));
        return false;
    }
    // Closing the loading window by hand would end the program at once; it
    // still closes itself when the room is ready.
    if (event->type() == QEvent::Close && event->spontaneous() && watched->inherits("LoadingWindow")) {
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::MouseMove && event->spontaneous()) {
        showPointer();
        pointerTimer->start();
    }
    // Escape in the view would end the program.
    const bool escape = event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    return escape && watched == window->roomView();
}

void Kiosk::coverScreen()
{
    // Also without a window manager that knows full screen.
    window->setGeometry(window->screen()->geometry());
    if (!window->isFullScreen())
        window->showFullScreen();
}

void Kiosk::hidePointer()
{
    if (hidingPointer)
        return;
    hidingPointer = true;
    QApplication::setOverrideCursor(Qt::BlankCursor);
}

void Kiosk::showPointer()
{
    if (!hidingPointer)
        return;
    hidingPointer = false;
    QApplication::restoreOverrideCursor();
}

void applyProgramOptions(MainWindow* window, const ProgramOptions& options)
{
    if (options.kiosk)
        new Kiosk(window);
    if (options.idleSeconds > 0)
        new IdleReset(window, options.idleSeconds, options.tourSeconds);
    else if (options.tourSeconds > 0)
        qWarning("--tour %d does nothing without an idle reset (--idle SECONDS)", options.tourSeconds);
}
