#include "loadingwindow.h"

#include <QtTest>
#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>

#include <limits>

class TestLoadingWindow : public QObject
{
    Q_OBJECT

private slots:
    void showsItselfOnTopWithTitleAndTexts();
    void progress_data();
    void progress();
    void userCloseEndsTheProcess();
};

void TestLoadingWindow::showsItselfOnTopWithTitleAndTexts()
{
    LoadingWindow window;
    QVERIFY(window.isVisible() && window.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(window.windowTitle(), QString("Vovo del Pellavio"));
    QCOMPARE(window.progressBar->value(), 1);
    QStringList texts;
    for (const QLabel* label : window.findChildren<QLabel*>())
        texts << label->text();
    QVERIFY(texts.contains("Caricamento... "));
    // Title, subtitle, an empty line, the version with its build date, two breaks.
    const QRegularExpression about("^Vovo del Pellavio\n[^\n]+\n\n[^\n]*\\d+\\.\\d+[^\n]* \\d{4}-\\d{2}-\\d{2}\n\n$");
    QVERIFY2(texts.indexOf(about) >= 0, qPrintable(texts.join(" | ")));
}

void TestLoadingWindow::progress_data()
{
    QTest::addColumn<float>("progress");
    QTest::addColumn<int>("shown"); // 1 where the value is ignored
    QTest::newRow("0.29 shows 28") << 0.29f << 28;
    QTest::newRow("1.0 shows 100") << 1.0f << 100;
    QTest::newRow("negative is ignored") << -0.5f << 1;
    QTest::newRow("just below two is ignored") << 1.9999999f << 1;
    QTest::newRow("infinity is ignored") << std::numeric_limits<float>::infinity() << 1;
    QTest::newRow("not a number is ignored") << std::numeric_limits<float>::quiet_NaN() << 1;
    QTest::newRow("2.0 closes and deletes the window") << 2.0f << 1;
}

void TestLoadingWindow::progress()
{
    QFETCH(float, progress);
    QPointer<LoadingWindow> window = new LoadingWindow();
    window->setProgress(progress);
    QTEST(window->progressBar->value(), "shown");
    QCOMPARE(window->isVisible(), progress != 2.0f);
    window->close(); // closed by the program, not by the visitor: the process goes on
    QTRY_VERIFY(window.isNull());
}

// In a child process: a close that comes from the window system, as the window
// manager delivers it when the visitor clicks the close button.
void TestLoadingWindow::userCloseEndsTheProcess()
{
    if (qEnvironmentVariableIsSet("PELLAVIO_CLOSE_AS_USER")) {
        LoadingWindow window;
        QCloseEvent event;
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(&window, &event);
        QFAIL("still running after the close");
    }
    QProcess child;
    qputenv("PELLAVIO_CLOSE_AS_USER", "1");
    child.start(QCoreApplication::applicationFilePath(), {"userCloseEndsTheProcess"});
    qunsetenv("PELLAVIO_CLOSE_AS_USER");
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
}

QTEST_MAIN(TestLoadingWindow)
#include "tst_loadingwindow.moc"
