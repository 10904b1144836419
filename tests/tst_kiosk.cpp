#include "kiosk.h"

#include "attracttour.h"
#include "countdownoverlay.h"
#include "idlereset.h"
#include "mainwindow.h"
#include "panelfit.h"
#include "programoptions.h"
#include "qrpanel.h"
#include "widgetopenGL.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>
#include <QtTest/qtestspontaneevent.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// Set in a child run of this program: "exit" (a kiosk that visitors try to
// end) or "no browser" (a desktop without a browser to start).
const char* const childMode = "PELLAVIO_KIOSK_CHILD";

QStringList goToLines;
QtMessageHandler testLibHandler = nullptr;

void captureFlights(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("GO TO DETAIL ")))
        goToLines << message;
    if (type != QtDebugMsg)
        testLibHandler(type, context, message);
}

bool loadingWindowOpen()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](QWidget* w) { return w->inherits("LoadingWindow"); });
}

QStringList items(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// A pointer movement as the display delivers it, straight to `widget`: the
// real pointer may lie over another test's window on a shared display.
void movePointer(QWidget* widget, const QPoint& position)
{
    QMouseEvent move(QEvent::MouseMove, position, widget->mapToGlobal(position), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QSpontaneKeyEvent::setSpontaneous(&move);
    qApp->notify(widget, &move);
}

// What zbarimg reads in the image, without its type prefix and final newline.
QString decodeQrCode(const QImage& image)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("code.png"));
    if (!image.save(file))
        return QStringLiteral("(image not saved)");
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), file});
    if (!zbar.waitForFinished(30000))
        return QStringLiteral("(zbarimg did not run)");
    return QString::fromUtf8(zbar.readAllStandardOutput()).chopped(1);
}

// Starts this program again with `mode` and the function "childRun"; its exit
// status (-2 after a crash or a hang) and what it printed.
int runChild(const QString& mode, QProcessEnvironment environment, QString& output)
{
    QProcess child;
    environment.insert(QLatin1String(childMode), mode);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    // The test log goes nowhere: stdout is left to what the child prints.
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("childRun"), QStringLiteral("-o"), QStringLiteral("/dev/null,txt")});
    const bool ended = child.waitForFinished(120000) && child.exitStatus() == QProcess::NormalExit;
    output = QString::fromUtf8(child.readAllStandardOutput());
    return ended ? child.exitCode() : -2;
}

} // namespace

class TestKiosk : public QObject
{
    Q_OBJECT

public slots:
    void captureUrl(const QUrl& url) { openedUrls.append(url); }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void optionsRead_data();
    void optionsRead();
    void programReadsItsOptionsAfterQts();
    void countdownAppearsAndInputCancelsIt_data();
    void countdownAppearsAndInputCancelsIt();
    void returnToStartRestoresEachPiece_data();
    void returnToStartRestoresEachPiece();
    void tourVisitsDetailsInOrderAndInputStopsIt();
    void kioskOutlivesVisitorsAndEndsForStaff();
    void pointerHidesWhileUnmoved();
    void panelFitsFingers_data();
    void panelFitsFingers();
    void qrCodeCarriesTheBrowserAddress_data();
    void qrCodeCarriesTheBrowserAddress();
    void qrPanelCloses_data();
    void qrPanelCloses();
    void qrPanelStandsInForMissingBrowser();
    void childRun();

private:
    template <typename T>
    T* find(const QString& name)
    {
        T* found = window->findChild<T*>(name);
        if (!found)
            qFatal("no %s named \"%s\"", T::staticMetaObject.className(), qPrintable(name));
        return found;
    }
    void chooseName(const QString& name) { animalNameBox->setCurrentIndex(animalNameBox->findText(name)); }
    void disturb(const QString& piece);
    QStringList startState() const;
    QStringList expectedStartState() const;
    QrPanel* qrPanel() const { return window->findChild<QrPanel*>(); }

    MainWindow* window = nullptr;
    WidgetOpenGL* view = nullptr;
    std::unique_ptr<IdleReset> idleReset;
    QList<QUrl> openedUrls;
    Avatar startView;

    QComboBox* animalNameBox = nullptr;
    QComboBox* otherNameBox = nullptr;
    QLineEdit* searchField = nullptr;
    QTextEdit* notesText = nullptr;
    QPushButton* infoButton = nullptr;
};

void TestKiosk::initTestCase()
{
    window = new MainWindow;
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTRY_VERIFY_WITH_TIMEOUT(!loadingWindowOpen(), 60000);
    if (qgetenv(childMode) != "no browser") {
        ProgramOptions kioskOnly;
        kioskOnly.kiosk = true;
        applyProgramOptions(window, kioskOnly);
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "captureUrl");
    }
    QApplication::setActiveWindow(window);
    view = window->roomView();
    animalNameBox = find<QComboBox>(QStringLiteral("animalNameBox"));
    otherNameBox = find<QComboBox>(QStringLiteral("otherNameBox"));
    searchField = find<QLineEdit>(QStringLiteral("searchField"));
    notesText = find<QTextEdit>(QStringLiteral("notesText"));
    infoButton = find<QPushButton>(QStringLiteral("infoButton"));
    startView.resetToStart(view->room());
    testLibHandler = qInstallMessageHandler(captureFlights);
}

void TestKiosk::init()
{
    searchField->clear();
    window->clearAnimal();
    MainWindow::resetSharedState();
    view->placeCamera(startView);
    view->ponderDetail(-1);
    if (qrPanel())
        qrPanel()->close();
    view->setFocus(Qt::OtherFocusReason);
    openedUrls.clear();
    goToLines.clear();
}

void TestKiosk::cleanup()
{
    idleReset.reset();
    window->setGeometry(window->screen()->geometry());
}

void TestKiosk::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    qInstallMessageHandler(testLibHandler);
    delete window;
}

void TestKiosk::optionsRead_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("kiosk");
    QTest::addColumn<int>("idleSeconds");
    QTest::addColumn<int>("tourSeconds");

    QTest::newRow("no option: the desktop program") << QStringList() << false << 0 << 0;
    QTest::newRow("kiosk: its idle and tour times") << QStringList{"--kiosk"} << true << 90 << 12;
    QTest::newRow("kiosk with short times") << QStringList{"--kiosk", "--idle", "2", "--tour=1"} << true << 2 << 1;
    QTest::newRow("kiosk without reset or tour")
        << QStringList{"--kiosk", "--idle", "0", "--tour", "0"} << true << 0 << 0;
    QTest::newRow("idle reset on the desktop") << QStringList{"--idle", "30"} << false << 30 << 0;
    QTest::newRow("bad value keeps the default")
        << QStringList{"--kiosk", "--idle", "soon", "--tour", "-3"} << true << 90 << 12;
    QTest::newRow("unknown option passed over") << QStringList{"--bogus", "--idle", "5"} << false << 5 << 0;
}

void TestKiosk::optionsRead()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, kiosk);
    QFETCH(int, idleSeconds);
    QFETCH(int, tourSeconds);

    const ProgramOptions options = readProgramOptions(QStringList{"pellavio"} + arguments);
    QCOMPARE(options.kiosk, kiosk);
    QCOMPARE(options.idleSeconds, idleSeconds);
    QCOMPARE(options.tourSeconds, tourSeconds);
}

// The program itself: Qt takes its own options first, the rest are the program's.
void TestKiosk::programReadsItsOptionsAfterQts()
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral("./pellavio"), {"-style", "fusion", "--version"});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), 0);
    const QString version = QString::fromLatin1(program.readAllStandardOutput());
    QVERIFY2(version.contains(QRegularExpression("^pellavio \\d+\\.\\d+\\.\\d+ \\(built \\d{4}-\\d\\d-\\d\\d\\)\n$")), qPrintable(version));
    QVERIFY(!program.readAllStandardError().contains("Unknown option"));

    program.start(QStringLiteral("./pellavio"), {"--help"});
    QVERIFY(program.waitForFinished(30000));
    const QString help = QString::fromLatin1(program.readAllStandardOutput());
    for (const char* option : {"--kiosk", "--idle <SECONDS>", "--tour <SECONDS>", "--data <DIR>", "--check"})
        QVERIFY2(help.contains(QLatin1String(option)), option);
}

void TestKiosk::countdownAppearsAndInputCancelsIt_data()
{
    QTest::addColumn<QString>("input");
    QTest::newRow("key") << "key";
    QTest::newRow("click") << "click";
    QTest::newRow("pointer movement") << "move";
}

// With 12 s of idle time the countdown shows 10 after 2 s; input hides it and
// the whole wait begins again.
void TestKiosk::countdownAppearsAndInputCancelsIt()
{
    QFETCH(QString, input);
    idleReset.reset(new IdleReset(window, 12, 0));
    CountdownOverlay* countdown = idleReset->countdown();
    QVERIFY(!countdown->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(countdown->isVisible(), 4000);
    QCOMPARE(countdown->findChild<QLabel*>(QStringLiteral("countdownNumber"))->text(), QStringLiteral("10"));
    QCOMPARE(countdown->findChild<QLabel*>(QStringLiteral("countdownText"))->text(),
             QStringLiteral("Tra 10 secondi la sala torna all'inizio.\nTocca lo schermo per continuare la visita."));
    QTRY_COMPARE_WITH_TIMEOUT(countdown->seconds(), 9, 2000);

    if (input == "key")
        QTest::keyClick(view, Qt::Key_Shift);
    else if (input == "click")
        QTest::mouseClick(searchField, Qt::LeftButton);
    else
        movePointer(view, view->rect().center() + QPoint(17, 11));
    QVERIFY(!countdown->isVisible());
    QTest::qWait(1000);
    QVERIFY(!countdown->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(countdown->isVisible(), 3000);
    QCOMPARE(countdown->seconds(), 10);
}

void TestKiosk::returnToStartRestoresEachPiece_data()
{
    QTest::addColumn<QString>("piece");
    // A name chosen and flown to leaves panel, highlight and camera away from the start.
    for (const char* piece : {"name and flight", "search", "glance", "name list", "qr panel", "dialog"})
        QTest::newRow(piece) << piece;
}

// What a visitor leaves behind, through the widgets a visitor uses.
void TestKiosk::disturb(const QString& piece)
{
    const int firstCivetta = 0;
    if (piece == "name and flight") {
        chooseName(QStringLiteral("Civetta"));
        QVERIFY(!notesText->toPlainText().isEmpty());
        QVERIFY(view->isGlancing());
        QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(WidgetOpenGL::lastVisitedDetail(), firstCivetta);
    } else if (piece == "search") {
        QTest::keyClicks(searchField, QStringLiteral("farfalla"));
        QVERIFY(items(animalNameBox).size() < view->animals().names().size());
    } else if (piece == "glance") {
        view->ponderDetailLater(firstCivetta);
        QVERIFY(find<QTimer>(QStringLiteral("glanceTimer"))->isActive());
    } else if (piece == "name list") {
        animalNameBox->showPopup();
        QVERIFY(QApplication::activePopupWidget());
    } else if (piece == "qr panel") {
        chooseName(QStringLiteral("Civetta"));
        QTest::mouseClick(infoButton, Qt::LeftButton);
        QVERIFY(qrPanel() && qrPanel()->isVisible());
    } else if (piece == "dialog") {
        auto* dialog = new QMessageBox(QMessageBox::Information, QStringLiteral("Avviso"), QStringLiteral("Prova"),
                                       QMessageBox::Ok, window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
    }
}

QStringList TestKiosk::startState() const
{
    const Avatar& camera = view->camera();
    const point3 highlight = view->highlightColor();
    const QList<QDialog*> dialogs = window->findChildren<QDialog*>();
    const bool dialogOpen = std::any_of(dialogs.begin(), dialogs.end(), [](QDialog* d) { return d->isVisible(); });
    const bool anyPopupOrDialog = QApplication::activePopupWidget() || QApplication::activeModalWidget() || dialogOpen;
    return {
        QStringLiteral("camera %1 %2 %3, yaw %4, fov %5, detail %6")
            .arg(camera.position.x).arg(camera.position.y).arg(camera.position.z)
            .arg(camera.yaw).arg(camera.fov).arg(WidgetOpenGL::lastVisitedDetail()),
        QStringLiteral("panel \"%1\" \"%2\" \"%3\"").arg(animalNameBox->currentText(), otherNameBox->currentText(),
                                                      notesText->toPlainText()),
        QStringLiteral("search \"%1\"").arg(searchField->text()),
        QStringLiteral("lists %1 %2").arg(items(animalNameBox) == view->animals().names())
            .arg(items(otherNameBox) == view->animals().otherNames()),
        QStringLiteral("highlight %1 %2 %3, phase %4, pulsing %5")
            .arg(highlight.x).arg(highlight.y).arg(highlight.z).arg(view->pulsePhase())
            .arg(window->findChild<QTimer*>(QStringLiteral("blinkTimer"))->isActive()),
        QStringLiteral("glance %1 %2 %3").arg(view->isGlancing()).arg(view->ponderedDetail())
            .arg(window->findChild<QTimer*>(QStringLiteral("glanceTimer"))->isActive()),
        QStringLiteral("qr panel %1, popup or dialog %2")
            .arg(qrPanel() && qrPanel()->isVisible()).arg(anyPopupOrDialog),
    };
}

QStringList TestKiosk::expectedStartState() const
{
    return {
        QStringLiteral("camera %1 %2 %3, yaw 0, fov 85, detail -1")
            .arg(startView.position.x).arg(startView.position.y).arg(startView.position.z),
        QStringLiteral("panel \"\" \"\" \"\""),
        QStringLiteral("search \"\""),
        QStringLiteral("lists 1 1"),
        QStringLiteral("highlight 0 0 0, phase 0, pulsing 0"),
        QStringLiteral("glance 0 -1 0"),
        QStringLiteral("qr panel 0, popup or dialog 0"),
    };
}

// Two seconds after the last input the whole start state is back, whatever
// the visitor changed.
void TestKiosk::returnToStartRestoresEachPiece()
{
    QFETCH(QString, piece);
    idleReset.reset(new IdleReset(window, 2, 0));
    QSignalSpy restored(idleReset.get(), SIGNAL(startRestored()));
    disturb(piece);
    QVERIFY(startState() != expectedStartState());

    QTRY_COMPARE_WITH_TIMEOUT(restored.count(), 1, 5000);
    QVERIFY(!idleReset->countdown()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!find<QTimer>(QStringLiteral("animationTimer"))->isActive(), 5000);
    QCOMPARE(startState(), expectedStartState());
}

// After the reset the tour flies to the painted exemplars by name (Ape, then
// Aquila), exemplars in button order; one key ends it where it stands.
void TestKiosk::tourVisitsDetailsInOrderAndInputStopsIt()
{
    idleReset.reset(new IdleReset(window, 3, 1));
    const QStringList firstStops = {"GO TO DETAIL 3", "GO TO DETAIL 503", "GO TO DETAIL 1302", "GO TO DETAIL 301"};
    QTRY_VERIFY_WITH_TIMEOUT(goToLines.size() >= 4, 15000);
    QCOMPARE(goToLines.mid(0, 4), firstStops);
    QCOMPARE(animalNameBox->currentText(), QStringLiteral("Aquila"));
    const Detail aquila = view->room().detailAt(view->room().indexOfDetail(301));
    QCOMPARE(view->highlightColor() * 255.0f, aquila.color);

    QTest::keyClick(view, Qt::Key_Shift);
    QVERIFY(!idleReset->tour()->isRunning());
    const Avatar target = view->cameraTarget();
    const int stops = goToLines.size();
    QTest::qWait(1500);
    QCOMPARE(goToLines.size(), stops);
    QCOMPARE(view->cameraTarget().position, target.position);
    QCOMPARE(view->cameraTarget().yaw, target.yaw);
    QCOMPARE(animalNameBox->currentText(), QStringLiteral("Aquila"));
}

// Escape, the full-screen keys and a close request leave the kiosk full
// screen and running; ctrl+alt+Q ends it with status 0.
void TestKiosk::kioskOutlivesVisitorsAndEndsForStaff()
{
    QString output;
    const int status = runChild(QStringLiteral("exit"), QProcessEnvironment::systemEnvironment(), output);
    QCOMPARE(output,
             QStringLiteral("after the visitor: full screen 1, visible 1, closed 0\nevent loop ended with 0\n"));
    QCOMPARE(status, 0);
}

void TestKiosk::pointerHidesWhileUnmoved()
{
    auto* kiosk = window->findChild<Kiosk*>();
    QVERIFY(kiosk);
    movePointer(view, QPoint(40, 40));
    QVERIFY(!kiosk->pointerHidden());
    QVERIFY(!QApplication::overrideCursor());
    QTest::qWait(Kiosk::pointerHideMilliseconds - 1000);
    QVERIFY(!kiosk->pointerHidden());
    QTRY_VERIFY_WITH_TIMEOUT(kiosk->pointerHidden(), 2000);
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BlankCursor);
    movePointer(view, QPoint(60, 50));
    QVERIFY(!kiosk->pointerHidden());
    QVERIFY(!QApplication::overrideCursor());
}

void TestKiosk::qrCodeCarriesTheBrowserAddress_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("address");
    QTest::newRow("information") << "infoButton"
        << "http://www.google.com/search?q=Gallinula+chl%C3%B2ropus+Gallinella+d'acqua+%26+Folaga&btnI";
    QTest::newRow("images") << "imagesButton" << "http://www.google.com/search?q=Gallinula+chl%C3%B2ropus&tbm=isch";
}

// Accents, blanks and "&" in the names: the phone gets exactly what a browser
// would have been handed, and in the kiosk no browser is asked for.
void TestKiosk::qrCodeCarriesTheBrowserAddress()
{
    QFETCH(QString, button);
    QFETCH(QString, address);

    AnimalData& database = view->animals();
    const QVector<Animal> original = database.records;
    database.records.append({QStringLiteral("Gallinella d'acqua & Folaga"), QStringLiteral("Gallinula chlòropus"),
                             QString(), QStringLiteral("qzxfixture"), 0, QString(), 2599});
    QTest::keyClicks(searchField, QStringLiteral("qzxfixture"));
    chooseName(QStringLiteral("Gallinella d'acqua & Folaga"));
    QPushButton* web = find<QPushButton>(button);
    QTest::mouseClick(web, Qt::LeftButton);
    QVERIFY(openedUrls.isEmpty());
    QVERIFY(qrPanel() && qrPanel()->isVisible());
    const QImage code = qrPanel()->findChild<QLabel*>(QStringLiteral("qrCode"))->pixmap(Qt::ReturnByValue).toImage();
    const QString decoded = decodeQrCode(code);
    const QString shownAddress = qrPanel()->findChild<QLabel*>(QStringLiteral("qrAddress"))->text();
    qrPanel()->close();

    window->setBrowserAllowed(true);
    QTest::mouseClick(web, Qt::LeftButton);
    window->setBrowserAllowed(false);
    database.records = original;

    QCOMPARE(openedUrls.size(), 1);
    QCOMPARE(QString::fromLatin1(openedUrls.at(0).toEncoded()), address);
    QCOMPARE(decoded, address);
    QCOMPARE(shownAddress, QUrl::fromEncoded(address.toLatin1()).toDisplayString());
}

void TestKiosk::qrPanelCloses_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("close button") << "button";
    QTest::newRow("touch outside") << "outside";
    QTest::newRow("escape") << "escape";
}

void TestKiosk::qrPanelCloses()
{
    QFETCH(QString, how);
    chooseName(QStringLiteral("Civetta"));
    QTest::mouseClick(infoButton, Qt::LeftButton);
    QrPanel* panel = qrPanel();
    QVERIFY(panel && panel->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    if (how == "button")
        QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("qrCloseButton")), Qt::LeftButton);
    else if (how == "outside")
        QTest::mouseClick(panel, Qt::LeftButton, Qt::NoModifier, QPoint(-20, -20));
    else
        QTest::keyClick(panel, Qt::Key_Escape);
    QVERIFY(!panel->isVisible());
}

// Outside a kiosk the browser opens as always; where none can be started the
// QR panel shows the address instead.
void TestKiosk::qrPanelStandsInForMissingBrowser()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QTemporaryDir emptyFolder;
    environment.insert(QStringLiteral("PATH"), emptyFolder.path());
    for (const char* variable : {"BROWSER", "DEFAULT_BROWSER", "XDG_CURRENT_DESKTOP", "KDE_FULL_SESSION",
                                 "GNOME_DESKTOP_SESSION_ID", "DESKTOP_SESSION"})
        environment.remove(QLatin1String(variable));
    QString output;
    QCOMPARE(runChild(QStringLiteral("no browser"), environment, output), 0);
    QCOMPARE(output, QStringLiteral("qr panel 1: http://www.google.com/search?q=(athene+noctua)+Civetta&btnI\n"));
}

// Only in a child run (see runChild).
void TestKiosk::childRun()
{
    const QByteArray mode = qgetenv(childMode);
    if (mode.isEmpty())
        QSKIP("run by the kiosk and missing browser tests in a child process");
    if (mode == "no browser") {
        chooseName(QStringLiteral("Civetta"));
        QTest::mouseClick(infoButton, Qt::LeftButton);
        std::printf("qr panel %d: %s\n", qrPanel() && qrPanel()->isVisible(),
                    qrPanel() ? qPrintable(qrPanel()->codeText()) : "");
        std::fflush(stdout);
        return;
    }
    QTest::keyClick(view, Qt::Key_Escape);
    // Straight to the view, past the window's own Escape shortcut.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(view, &escape);
    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Return, Qt::AltModifier);
    const bool closed = window->close();
    QApplication::processEvents();
    std::printf("after the visitor: full screen %d, visible %d, closed %d\n", window->isFullScreen(),
                window->isVisible(), closed);
    QTimer::singleShot(0, window,
                       [this] { QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier); });
    QTimer::singleShot(10000, qApp, [] { QApplication::exit(7); });
    const int status = QApplication::exec();
    std::printf("event loop ended with %d\n", status);
    std::fflush(stdout);
    delete window;
    std::exit(status);
}

void TestKiosk::panelFitsFingers_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("800 x 600") << QSize(800, 600);
    QTest::newRow("full HD") << QSize(1920, 1080);
}

// Every button, pick list, list entry and the search field a finger high, and
// every label whole, the twelve exemplar numbers among them.
void TestKiosk::panelFitsFingers()
{
    QFETCH(QSize, size);
    window->resize(size);
    chooseName(QStringLiteral("Farfalla"));
    QTRY_COMPARE(window->size(), size);
    QApplication::processEvents();
    int buttons = 0;
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (!button->isVisible())
            continue;
        ++buttons;
        QVERIFY2(button->height() >= 44 && labelWhole(button), qPrintable(button->objectName()));
    }
    QCOMPARE(buttons, 14);
    for (QComboBox* box : window->findChildren<QComboBox*>())
        QVERIFY2(box->height() >= 44 && box->view()->sizeHintForRow(0) >= 44, qPrintable(box->objectName()));
    QVERIFY(searchField->height() >= 44);
    QVERIFY(labelWhole(find<QLabel>(QStringLiteral("exemplarLabel"))));
}

QTEST_MAIN(TestKiosk)
#include "tst_kiosk.moc"
