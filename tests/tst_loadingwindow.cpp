#include "loadingwindow.h"

#include <QtTest>
#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>

class TestLoadingWindow : public QObject
{
    Q_OBJECT

private slots:
    void showsItselfOnTopWithTitleAndTexts();
    void progress_data();
    void progress();
    void closing();
};

void TestLoadingWindow::showsItselfOnTopWithTitleAndTexts()
{
    LoadingWindow window;
    QVERIFY(window.isVisible() && window.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(window.windowTitle(), QString("Vovo del Pellavio"));
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
    QTest::addColumn<int>("shown"); // 1, as it starts, where the value is ignored
    QTest::newRow("0.29 shows 28") << 0.29f << 28;
    QTest::newRow("1.0 shows 100") << 1.0f << 100;
    QTest::newRow("just below two is ignored") << 1.9999999f << 1;
    QTest::newRow("infinity is ignored") << float(qInf()) << 1;
    QTest::newRow("not a number is ignored") << float(qQNaN()) << 1;
}

void TestLoadingWindow::progress()
{
    QFETCH(float, progress);
    LoadingWindow window;
    window.setProgress(progress);
    QTEST(window.findChild<QProgressBar*>()->value(), "shown");
    QVERIFY(window.isVisible());
}

// In a child process, which fails on purpose while it still runs after the close:
// the visitor's comes from the window system, as the window manager delivers a
// click on the close button; the program's when loading is done.
void TestLoadingWindow::closing()
{
    const QByteArray closer = qgetenv("PELLAVIO_CLOSER");
    if (!closer.isEmpty()) {
        QPointer<LoadingWindow> window = new LoadingWindow();
        QCloseEvent event;
        QSpontaneKeyEvent::setSpontaneous(&event);
        if (closer == "visitor")
            qApp->notify(window, &event);
        window->setProgress(2.0f);
        QTRY_VERIFY(window.isNull());
        QFAIL("still running after the close");
    }
    for (const bool byVisitor : {true, false}) {
        QProcess child;
        qputenv("PELLAVIO_CLOSER", byVisitor ? "visitor" : "program");
        child.start(QCoreApplication::applicationFilePath(), {"closing"});
        qunsetenv("PELLAVIO_CLOSER");
        QVERIFY(child.waitForFinished(30000) && child.exitStatus() == QProcess::NormalExit);
        QCOMPARE(child.exitCode(), byVisitor ? 0 : 1);
        QCOMPARE(child.readAll().contains("still running after the close"), !byVisitor);
    }
}

QTEST_MAIN(TestLoadingWindow)
#include "tst_loadingwindow.moc"
