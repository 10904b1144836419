#include "display.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {

const char* const platformVariable = "QT_QPA_PLATFORM";
const QString advice = QStringLiteral(": run pellavio from a desktop session, or under a virtual display "
                                      "with xvfb-run -a ./pellavio");

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
        qunsetenv(platformVariable);
    }

    void missingDisplayMessage_data()
    {
        QTest::addColumn<QByteArray>("display"); // null: unset
        QTest::addColumn<QByteArray>("platformVariable");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("DISPLAY unset") << QByteArray() << QByteArray() << QStringList()
                                       << "No display found (DISPLAY is not set)" + advice;
        QTest::newRow("DISPLAY pointing nowhere") << QByteArray(":4093") << QByteArray() << QStringList{"-style", "fusion"}
                                                  << "No display found (no X server answers at DISPLAY=:4093)" + advice;
        QTest::newRow("live display") << liveDisplay << QByteArray() << QStringList() << "";
        QTest::newRow("-platform given") << QByteArray() << QByteArray() << QStringList{"-platform", "offscreen"} << "";
        QTest::newRow("--platform given") << QByteArray(":4093") << QByteArray() << QStringList{"--platform", "vnc"} << "";
        QTest::newRow("QT_QPA_PLATFORM set") << QByteArray() << QByteArray("offscreen") << QStringList() << "";
    }

    // The user's choice of platform is honoured; without one, the X display must answer.
    void missingDisplayMessage()
    {
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, platformVariable);
        QFETCH(QStringList, arguments);
        display.isNull() ? qunsetenv("DISPLAY") : qputenv("DISPLAY", display);
        if (!platformVariable.isEmpty())
            qputenv(::platformVariable, platformVariable);
        QByteArrayList bytes{"pellavio"};
        for (const QString& argument : arguments)
            bytes << argument.toLocal8Bit();
        QVector<char*> argv;
        for (QByteArray& argument : bytes)
            argv << argument.data();
        QTEST(QString::fromLocal8Bit(::missingDisplayMessage(argv.size(), argv.data())), "message");
    }

    // The program itself, started without a display: one plain line and status 1.
    void programWithoutDisplayEndsWithOne()
    {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        program.setProcessEnvironment(environment);
        program.start(QCoreApplication::applicationDirPath() + "/../pellavio", QStringList());
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QCOMPARE(QString::fromLocal8Bit(program.readAllStandardError()),
                 "No display found (DISPLAY is not set)" + advice + "\n");
        QCOMPARE(program.readAllStandardOutput(), QByteArray());
    }

    // On an X server of its own, where the display check is the first client,
    // the program must still reach its own start every time: here it stops at
    // the missing room (-1), never in the toolkit's abort (134).
    void programOnFreshServerGetsPastTheCheck()
    {
        if (QStandardPaths::findExecutable("xvfb-run").isEmpty())
            QSKIP("xvfb-run is not installed");
        const QString program = QCoreApplication::applicationDirPath() + "/../pellavio";
        QProcess runs;
        runs.start("xvfb-run", {"-a", "-s", "-screen 0 320x240x24", "bash", "-c",
                                "for i in $(seq 12); do \"$0\" --data /nonexistent >/dev/null 2>&1; "
                                "echo -n \"$? \"; done", program});
        QVERIFY(runs.waitForFinished(120000));
        QCOMPARE(QString::fromLatin1(runs.readAllStandardOutput()).trimmed(), QString("255 ").repeated(12).trimmed());
    }
};

QTEST_GUILESS_MAIN(TestDisplay)
#include "tst_display.moc"
