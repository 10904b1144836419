#include "loadingwindow.h"

#include <QtTest>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QSpontaneKeyEvent>

#include <cstdio>
#include <limits>

namespace {

const char* const userCloseArgument = "--close-as-user";

// Runs in a child process: a close that comes from the window system, as the
// window manager delivers it when the visitor clicks the close button.
int closeAsUser(int argc, char* argv[])
{
    QApplication application(argc, argv);
    auto* window = new LoadingWindow();
    window->setProgress(0.4f);
    QCloseEvent event;
    QSpontaneKeyEvent::setSpontaneous(&event);
    application.notify(window, &event);
    std::puts("still running after the close");
    return 3;
}

QStringList labelTexts(const QWidget& window)
{
    QStringList texts;
    for (const QLabel* label : window.findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

} // namespace

class TestLoadingWindow : public QObject
{
    Q_OBJECT

private slots:
    void showsItselfOnTopWithTitleAndTexts();
    void progressTruncates_data();
    void progressTruncates();
    void twoClosesAndDeletes();
    void userCloseEndsTheProcess();
};

void TestLoadingWindow::showsItselfOnTopWithTitleAndTexts()
{
    LoadingWindow window;
    QVERIFY(window.isVisible());
    QCOMPARE(window.windowTitle(), QString("Vovo del Pellavio"));
    QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(window.testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(window.progressBar->value(), 1);
    QCOMPARE(window.progressBar->maximum(), 100);

    const QStringList texts = labelTexts(window);
    QVERIFY(texts.contains("Caricamento... "));
    const auto about = std::find_if(texts.begin(), texts.end(),
                                    [](const QString& t) { return t.startsWith("Vovo del Pellavio\n"); });
    QVERIFY(about != texts.end());
    // Title, subtitle, an empty line, the version with its build date, two breaks.
    const QStringList lines = about->split('\n');
    QCOMPARE(lines.size(), 6);
    QVERIFY(!lines[1].isEmpty());
    QVERIFY(lines[2].isEmpty());
    QVERIFY2(lines[3].contains(QRegularExpression("\\d+\\.\\d+.*\\d{4}-\\d{2}-\\d{2}")), qPrintable(lines[3]));
    QVERIFY(lines[4].isEmpty() && lines[5].isEmpty());
}

void TestLoadingWindow::progressTruncates_data()
{
    QTest::addColumn<float>("progress");
    QTest::addColumn<int>("shown");

    QTest::newRow("0.25 shows 25") << 0.25f << 25;
    QTest::newRow("0.999 shows 99") << 0.999f << 99;
    QTest::newRow("1.0 shows 100") << 1.0f << 100;
    QTest::newRow("0.29 shows 28") << 0.29f << 28;
    QTest::newRow("0.57 shows 56") << 0.57f << 56;
    QTest::newRow("0.504 shows 50") << 0.504f << 50;
    QTest::newRow("negative is ignored") << -0.5f << 50;
    QTest::newRow("above one is ignored") << 1.5f << 50;
    QTest::newRow("just below two is ignored") << 1.9999999f << 50;
    QTest::newRow("infinity is ignored") << std::numeric_limits<float>::infinity() << 50;
    QTest::newRow("not a number is ignored") << std::numeric_limits<float>::quiet_NaN() << 50;
}

void TestLoadingWindow::progressTruncates()
{
    QFETCH(float, progress);
    QFETCH(int, shown);
    QPointer<LoadingWindow> window = new LoadingWindow();
    window->setProgress(0.5f);
    window->setProgress(progress);
    QCOMPARE(window->progressBar->value(), shown);
    QVERIFY(window->isVisible());
    delete window;
}

void TestLoadingWindow::twoClosesAndDeletes()
{
    QPointer<LoadingWindow> window = new LoadingWindow();
    window->setProgress(1.0f);
    window->setProgress(2.0f);
    QVERIFY(!window.isNull());
    QVERIFY(!window->isVisible());
    QCOMPARE(window->progressBar->value(), 100);
    QTRY_VERIFY(window.isNull());
}

void TestLoadingWindow::userCloseEndsTheProcess()
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {userCloseArgument});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QVERIFY(!child.readAllStandardOutput().contains("still running"));
}

int main(int argc, char* argv[])
{
    if (argc > 1 && qstrcmp(argv[1], userCloseArgument) == 0)
        return closeAsUser(argc, argv);
    QApplication application(argc, argv);
    TestLoadingWindow test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_loadingwindow.moc"
