#include "display.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {

const QString advice = QStringLiteral(": run pellavio from a desktop session, or under a virtual display "
                                      "with xvfb-run -a ./pellavio");
const QString notSet = "No display found (DISPLAY is not set)" + advice;
QString program() { return QCoreApplication::applicationDirPath() + "/../pellavio"; }

} // namespace

// Run under the virtual display of the test command: DISPLAY names a live X server.
class TestDisplay : public QObject
{
    Q_OBJECT

    QByteArray liveDisplay;

private slots:
    void initTestCase()
    {
        liveDisplay = qgetenv("DISPLAY");
        QVERIFY2(!liveDisplay.isEmpty(), "the test needs the X display it runs under");
    }

    void init()
    {
        qputenv("DISPLAY", liveDisplay);
        qunsetenv("QT_QPA_PLATFORM");
    }

    void missingDisplayMessage_data()
    {
        QTest::addColumn<QByteArray>("display"); // null: unset
        QTest::addColumn<QByteArray>("platform"); // QT_QPA_PLATFORM, empty: unset
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::addColumn<QString>("message");
        const QByteArray unset, nowhere(":4093");
        QTest::newRow("DISPLAY unset") << unset << unset << QByteArrayList() << notSet;
        QTest::newRow("DISPLAY pointing nowhere") << nowhere << unset << QByteArrayList{"-style", "fusion"}
            << "No display found (no X server answers at DISPLAY=:4093)" + advice;
        QTest::newRow("live display") << liveDisplay << unset << QByteArrayList() << "";
        QTest::newRow("-platform given") << unset << unset << QByteArrayList{"-platform", "offscreen"} << "";
        QTest::newRow("--platform given") << nowhere << unset << QByteArrayList{"--platform", "vnc"} << "";
        QTest::newRow("QT_QPA_PLATFORM set") << unset << QByteArray("offscreen") << QByteArrayList() << "";
    }

    // The user's choice of platform is honoured; without one, the X display must answer.
    void missingDisplayMessage()
    {
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, platform);
        QFETCH(QByteArrayList, arguments);
        display.isNull() ? qunsetenv("DISPLAY") : qputenv("DISPLAY", display);
        if (!platform.isEmpty())
            qputenv("QT_QPA_PLATFORM", platform);
        QVector<char*> argv{const_cast<char*>("pellavio")};
        for (QByteArray& argument : arguments)
            argv << argument.data();
        QTEST(QString::fromLocal8Bit(::missingDisplayMessage(argv.size(), argv.data())), "message");
    }

    // The program itself, started without a display: one plain line and status 1.
    void programWithoutDisplayEndsWithOne()
    {
        QProcess run;
        run.start("env", {"-u", "DISPLAY", program()});
        QVERIFY(run.waitForFinished(60000) && run.exitStatus() == QProcess::NormalExit);
        QCOMPARE(run.exitCode(), 1);
        QCOMPARE(QString::fromLocal8Bit(run.readAllStandardError()), notSet + "\n");
        QCOMPARE(run.readAllStandardOutput(), QByteArray());
    }

    // On an X server of its own, where the display check is the first client,
    // the program must still reach its own start every time: here it stops at
    // the missing room (-1), never in the toolkit's abort (134).
    void programOnFreshServerGetsPastTheCheck()
    {
        if (QStandardPaths::findExecutable("xvfb-run").isEmpty())
            QSKIP("xvfb-run is not installed");
        QProcess runs;
        runs.start("xvfb-run", {"-a", "-s", "-screen 0 320x240x24", "bash", "-c",
                                "for i in $(seq 12); do \"$0\" --data /nonexistent >/dev/null 2>&1; "
                                "echo -n \"$? \"; done", program()});
        QVERIFY(runs.waitForFinished(120000));
        QCOMPARE(QString::fromLatin1(runs.readAllStandardOutput()), QString("255 ").repeated(12));
    }
};

QTEST_GUILESS_MAIN(TestDisplay)
#include "tst_display.moc"
