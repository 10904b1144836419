#include "kiosk.h"

#include "attracttour.h"
#include "idlereset.h"
#include "mainwindow.h"
#include "panelfit.h"
#include "programoptions.h"
#include "qrpanel.h"
#include "widgetopenGL.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>
#include <QtTest/qtestspontaneevent.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// Set to "no browser" in a child run of this program: a desktop without a browser to start.
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

// What zbarimg reads in the image, without its type prefix and final newline; empty if it reads nothing.
QString decodeQrCode(const QImage& image)
{
    QTemporaryDir folder;
    const QString file = folder.filePath("code.png");
    QProcess zbar;
    if (image.save(file))
        zbar.start("zbarimg", {"--raw", "-q", file});
    zbar.waitForFinished(30000);
    return QString::fromUtf8(zbar.readAllStandardOutput()).trimmed();
}

} // namespace

class TestKiosk : public QObject
{
    Q_OBJECT

    MainWindow* window = nullptr;
    WidgetOpenGL* view = nullptr;
    std::unique_ptr<IdleReset> idleReset;
    QList<QUrl> openedUrls;
    QVector<Animal> records;
    Avatar startView;
    QComboBox* animalNameBox = nullptr;
    QLineEdit* searchField = nullptr;
    QPushButton* infoButton = nullptr;

    void chooseName(const QString& name) { animalNameBox->setCurrentIndex(animalNameBox->findText(name)); }
    QrPanel* qrPanel() const { return window->findChild<QrPanel*>(); }
    QTextEdit* notes() const { return window->findChild<QTextEdit*>("notesText"); }
    bool timerActive(const char* name) const { return window->findChild<QTimer*>(name)->isActive(); }

    // The Civetta's QR panel, opened by the information button; null unless it shows.
    QrPanel* openQrPanel()
    {
        chooseName("Civetta");
        QTest::mouseClick(infoButton, Qt::LeftButton);
        return qrPanel() && qrPanel()->isVisible() ? qrPanel() : nullptr;
    }

    // What a visitor leaves behind, through the widgets a visitor uses.
    void disturb(const QString& piece)
    {
        const int firstCivetta = 0;
        if (piece == "name and flight") {
            chooseName("Civetta");
            QVERIFY(!notes()->toPlainText().isEmpty() && view->isGlancing());
            QTest::keyClick(window, Qt::Key_Return);
            QCOMPARE(WidgetOpenGL::lastVisitedDetail(), firstCivetta);
        } else if (piece == "search") {
            QTest::keyClicks(searchField, "farfalla");
            QVERIFY(items(animalNameBox).size() < view->animals().names().size());
        } else if (piece == "glance") {
            view->ponderDetailLater(firstCivetta);
            QVERIFY(timerActive("glanceTimer"));
        } else if (piece == "name list") {
            animalNameBox->showPopup();
            QVERIFY(QApplication::activePopupWidget());
        } else if (piece == "qr panel") {
            QVERIFY(openQrPanel());
        } else {
            auto* dialog = new QMessageBox(QMessageBox::Information, "Avviso", "Prova", QMessageBox::Ok, window);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->open();
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
        }
    }

    // All a visitor can change, one line per piece, to compare with the start.
    QStringList state() const
    {
        const QComboBox* otherNameBox = window->findChild<QComboBox*>("otherNameBox");
        const Avatar& c = view->camera();
        const point3 h = view->highlightColor();
        const QList<QDialog*> dialogs = window->findChildren<QDialog*>();
        const bool dialogOpen = std::any_of(dialogs.begin(), dialogs.end(), [](QDialog* d) { return d->isVisible(); });
        return {QString("camera %1 %2 %3, yaw %4, fov %5, detail %6").arg(c.position.x).arg(c.position.y)
                    .arg(c.position.z).arg(c.yaw).arg(c.fov).arg(WidgetOpenGL::lastVisitedDetail()),
                QString("panel \"%1\" \"%2\" \"%3\", search \"%4\"").arg(animalNameBox->currentText(),
                    otherNameBox->currentText(), notes()->toPlainText(), searchField->text()),
                QString("lists %1 %2").arg(items(animalNameBox) == view->animals().names())
                    .arg(items(otherNameBox) == view->animals().otherNames()),
                QString("highlight %1 %2 %3, phase %4, pulsing %5").arg(h.x).arg(h.y).arg(h.z)
                    .arg(view->pulsePhase()).arg(timerActive("blinkTimer")),
                QString("glance %1 %2 %3").arg(view->isGlancing()).arg(view->ponderedDetail())
                    .arg(timerActive("glanceTimer")),
                QString("qr panel %1, popup or dialog %2").arg(qrPanel() && qrPanel()->isVisible())
                    .arg(QApplication::activePopupWidget() || QApplication::activeModalWidget() || dialogOpen)};
    }

public slots:
    void captureUrl(const QUrl& url) { openedUrls.append(url); }

private slots:
    void initTestCase()
    {
        window = new MainWindow;
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTRY_VERIFY_WITH_TIMEOUT(!loadingWindowOpen(), 60000);
        if (qgetenv(childMode) != "no browser") {
            ProgramOptions kioskOnly;
            kioskOnly.kiosk = true;
            applyProgramOptions(window, kioskOnly);
            QDesktopServices::setUrlHandler("http", this, "captureUrl");
        }
        QApplication::setActiveWindow(window);
        view = window->roomView();
        records = view->animals().records;
        animalNameBox = window->findChild<QComboBox*>("animalNameBox");
        searchField = window->findChild<QLineEdit*>("searchField");
        infoButton = window->findChild<QPushButton*>("infoButton");
        QVERIFY(animalNameBox && searchField && infoButton);
        startView.resetToStart(view->room());
        testLibHandler = qInstallMessageHandler(captureFlights);
    }

    void init()
    {
        view->animals().records = records;
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

    void cleanup()
    {
        idleReset.reset();
        window->setGeometry(window->screen()->geometry());
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler("http");
        qInstallMessageHandler(testLibHandler);
        delete window;
    }

    void optionsRead_data()
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

    void optionsRead()
    {
        QFETCH(QStringList, arguments);
        const ProgramOptions options = readProgramOptions(QStringList{"pellavio"} + arguments);
        QTEST(options.kiosk, "kiosk");
        QTEST(options.idleSeconds, "idleSeconds");
        QTEST(options.tourSeconds, "tourSeconds");
    }

    // The program itself: Qt takes its own options first, the rest are the program's.
    void programReadsItsOptionsAfterQts()
    {
        QProcess program;
        program.start("env", {"QT_QPA_PLATFORM=offscreen", "./pellavio", "-style", "fusion", "--version"});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 0);
        const QString version = QString::fromLatin1(program.readAllStandardOutput());
        QVERIFY2(version.contains(QRegularExpression("^pellavio \\d+\\.\\d+\\.\\d+ \\(built \\d{4}-\\d\\d-\\d\\d\\)\n$")),
                 qPrintable(version));
        QVERIFY(!program.readAllStandardError().contains("Unknown option"));

        program.start("env", {"QT_QPA_PLATFORM=offscreen", "./pellavio", "--help"});
        QVERIFY(program.waitForFinished(30000));
        const QString help = QString::fromLatin1(program.readAllStandardOutput());
        for (const char* option : {"--kiosk", "--idle <SECONDS>", "--tour <SECONDS>", "--data <DIR>", "--check"})
            QVERIFY2(help.contains(QLatin1String(option)), option);
    }

    void countdownAppearsAndInputCancelsIt_data()
    {
        QTest::addColumn<QString>("input");
        QTest::newRow("key") << "key";
        QTest::newRow("click") << "click";
        QTest::newRow("pointer movement") << "move";
    }

    // With 12 s of idle time the countdown shows 10 after 2 s; input hides it and
    // the whole wait begins again.
    void countdownAppearsAndInputCancelsIt()
    {
        QFETCH(QString, input);
        idleReset.reset(new IdleReset(window, 12, 0));
        CountdownOverlay* countdown = idleReset->countdown();
        QVERIFY(!countdown->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(countdown->isVisible(), 4000);
        QCOMPARE(countdown->findChild<QLabel*>("countdownNumber")->text(), QStringLiteral("10"));
        QCOMPARE(countdown->findChild<QLabel*>("countdownText")->text(),
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

    void returnToStartRestoresEachPiece_data()
    {
        QTest::addColumn<QString>("piece");
        // A name chosen and flown to leaves panel, highlight and camera away from the start.
        for (const char* piece : {"name and flight", "search", "glance", "name list", "qr panel", "dialog"})
            QTest::newRow(piece) << piece;
    }

    // Two seconds after the last input the whole start state is back, whatever
    // the visitor changed.
    void returnToStartRestoresEachPiece()
    {
        QFETCH(QString, piece);
        const auto& at = startView.position;
        const QStringList start = {QString("camera %1 %2 %3, yaw 0, fov 85, detail -1").arg(at.x).arg(at.y)
                                       .arg(at.z), "panel \"\" \"\" \"\", search \"\"", "lists 1 1",
                                   "highlight 0 0 0, phase 0, pulsing 0", "glance 0 -1 0",
                                   "qr panel 0, popup or dialog 0"};
        idleReset.reset(new IdleReset(window, 2, 0));
        QSignalSpy restored(idleReset.get(), SIGNAL(startRestored()));
        disturb(piece);
        QVERIFY(state() != start);

        QTRY_COMPARE_WITH_TIMEOUT(restored.count(), 1, 5000);
        QVERIFY(!idleReset->countdown()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!timerActive("animationTimer"), 5000);
        QCOMPARE(state(), start);
    }

    // After the reset the tour flies to the painted exemplars by name (Ape, then
    // Aquila), exemplars in button order; one key ends it where it stands.
    void tourVisitsDetailsInOrderAndInputStopsIt()
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

    void pointerHidesWhileUnmoved()
    {
        auto* kiosk = window->findChild<Kiosk*>();
        QVERIFY(kiosk);
        movePointer(view, QPoint(40, 40));
        QVERIFY(!kiosk->pointerHidden() && !QApplication::overrideCursor());
        QTest::qWait(Kiosk::pointerHideMilliseconds - 1000);
        QVERIFY(!kiosk->pointerHidden());
        QTRY_VERIFY_WITH_TIMEOUT(kiosk->pointerHidden(), 2000);
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BlankCursor);
        movePointer(view, QPoint(60, 50));
        QVERIFY(!kiosk->pointerHidden() && !QApplication::overrideCursor());
    }

    void qrPanelShowsTheBrowserAddressAndCloses_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("closedBy");
        QTest::addColumn<QString>("address");
        const QString info = "http://www.google.com/search?q=Gallinula+chl%C3%B2ropus+Gallinella+d'acqua+%26+Folaga&btnI";
        QTest::newRow("information, closed by its button") << "infoButton" << "button" << info;
        QTest::newRow("information, closed by escape") << "infoButton" << "escape" << info;
        QTest::newRow("images, closed by a touch outside")
            << "imagesButton" << "outside" << "http://www.google.com/search?q=Gallinula+chl%C3%B2ropus&tbm=isch";
    }

    // Accents, blanks and "&" in the names: the phone gets exactly what a browser
    // would have been handed, and in the kiosk no browser is asked for.
    void qrPanelShowsTheBrowserAddressAndCloses()
    {
        QFETCH(QString, button);
        QFETCH(QString, closedBy);
        QFETCH(QString, address);
        view->animals().records.append({"Gallinella d'acqua & Folaga", "Gallinula chlòropus", QString(), "qzxfixture",
                                        0, QString(), 2599});
        QTest::keyClicks(searchField, "qzxfixture");
        chooseName("Gallinella d'acqua & Folaga");
        QPushButton* web = window->findChild<QPushButton*>(button);
        QTest::mouseClick(web, Qt::LeftButton);
        QVERIFY(openedUrls.isEmpty());
        QrPanel* panel = qrPanel();
        QVERIFY(panel && panel->isVisible() && QTest::qWaitForWindowExposed(panel));
        QCOMPARE(decodeQrCode(panel->findChild<QLabel*>("qrCode")->pixmap(Qt::ReturnByValue).toImage()), address);
        QCOMPARE(panel->findChild<QLabel*>("qrAddress")->text(),
                 QUrl::fromEncoded(address.toLatin1()).toDisplayString());
        if (closedBy == "button")
            QTest::mouseClick(panel->findChild<QPushButton*>("qrCloseButton"), Qt::LeftButton);
        else if (closedBy == "outside")
            QTest::mouseClick(panel, Qt::LeftButton, Qt::NoModifier, QPoint(-20, -20));
        else
            QTest::keyClick(panel, Qt::Key_Escape);
        QVERIFY(!panel->isVisible());

        window->setBrowserAllowed(true);
        QTest::mouseClick(web, Qt::LeftButton);
        window->setBrowserAllowed(false);
        QCOMPARE(openedUrls.size(), 1);
        QCOMPARE(QString::fromLatin1(openedUrls.at(0).toEncoded()), address);
    }

    // Escape, the full-screen keys and a close request leave the kiosk full
    // screen and running; ctrl+alt+Q ends it with status 0.
    void kioskOutlivesVisitorsAndEndsForStaff()
    {
        QTest::keyClick(view, Qt::Key_Escape);
        // Straight to the view, past the window's own Escape shortcut.
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(view, &escape);
        QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(window, Qt::Key_Return, Qt::AltModifier);
        QVERIFY(!window->close());
        QApplication::processEvents();
        QVERIFY(window->isFullScreen() && window->isVisible());
        QObject giveUp; // a loop the keys fail to end ends after ten seconds with 7
        QTimer::singleShot(10000, &giveUp, [] { QApplication::exit(7); });
        QTimer::singleShot(0, window,
                           [this] { QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier); });
        QCOMPARE(QApplication::exec(), 0);
    }

    // Outside a kiosk the browser opens as always; where none can be started the
    // QR panel shows the address instead: this program again, running just childRun.
    void qrPanelStandsInForMissingBrowser()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(childMode, "no browser");
        QTemporaryDir emptyFolder;
        environment.insert("PATH", emptyFolder.path());
        for (const char* variable : {"BROWSER", "DEFAULT_BROWSER", "XDG_CURRENT_DESKTOP", "KDE_FULL_SESSION",
                                     "GNOME_DESKTOP_SESSION_ID", "DESKTOP_SESSION"})
            environment.remove(variable);
        QProcess child;
        child.setProcessEnvironment(environment);
        // The test log goes nowhere: stdout is left to what the child prints.
        child.start(QCoreApplication::applicationFilePath(), {"childRun", "-o", "/dev/null,txt"});
        QVERIFY(child.waitForFinished(120000) && child.exitStatus() == QProcess::NormalExit);
        QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()),
                 QStringLiteral("qr panel 1: http://www.google.com/search?q=(athene+noctua)+Civetta&btnI\n"));
        QCOMPARE(child.exitCode(), 0);
    }

    // Only in a child run (see qrPanelStandsInForMissingBrowser).
    void childRun()
    {
        if (qgetenv(childMode) != "no browser")
            QSKIP("run by qrPanelStandsInForMissingBrowser in a child process");
        QrPanel* panel = openQrPanel();
        std::printf("qr panel %d: %s\n", panel != nullptr, panel ? qPrintable(panel->codeText()) : "");
        std::fflush(stdout);
    }

    // Every button, pick list, list entry and the search field a finger high, and
    // every label whole, the twelve exemplar numbers among them, at 800 x 600 and full HD.
    void panelFitsFingers()
    {
        chooseName("Farfalla");
        for (const QSize& size : {QSize(800, 600), QSize(1920, 1080)}) {
            window->resize(size);
            QTRY_COMPARE(window->size(), size);
            QApplication::processEvents();
            QList<QPushButton*> buttons = window->findChildren<QPushButton*>();
            buttons.erase(std::remove_if(buttons.begin(), buttons.end(), [](QWidget* b) { return !b->isVisible(); }),
                          buttons.end());
            QCOMPARE(buttons.size(), 14);
            for (QPushButton* button : buttons)
                QVERIFY2(button->height() >= 44 && labelWhole(button), qPrintable(button->objectName()));
            for (QComboBox* box : window->findChildren<QComboBox*>())
                QVERIFY2(box->height() >= 44 && box->view()->sizeHintForRow(0) >= 44, qPrintable(box->objectName()));
            QVERIFY(searchField->height() >= 44 && labelWhole(window->findChild<QLabel*>("exemplarLabel")));
        }
    }
};

QTEST_MAIN(TestKiosk)
#include "tst_kiosk.moc"
