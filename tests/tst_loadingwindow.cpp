#include "loadingwindow.h"

#include <QtTest>
#include <QLabel>
#include <QProgressBar>

#include <cstdlib>

class TestLoadingWindow : public QObject
{
    Q_OBJECT

private slots:
    void showsItselfOnTopWithProgress_data()
    {
        QTest::addColumn<float>("progress");
        QTest::addColumn<int>("shown"); // 1, as it starts, where the value is ignored
        QTest::newRow("0.29 shows 28") << 0.29f << 28;
        QTest::newRow("1.0 shows 100") << 1.0f << 100;
        QTest::newRow("just below two is ignored") << 1.9999999f << 1;
        QTest::newRow("infinity is ignored") << float(qInf()) << 1;
        QTest::newRow("not a number is ignored") << float(qQNaN()) << 1;
    }

    // On screen and on top from the start, with its title and texts, whatever
    // progress it is then given short of the end.
    void showsItselfOnTopWithProgress()
    {
        QFETCH(float, progress);
        LoadingWindow window;
        window.setProgress(progress);
        QTEST(window.findChild<QProgressBar*>()->value(), "shown");
        QVERIFY(window.isVisible() && window.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(window.windowTitle(), QString("Vovo del Pellavio"));
        QStringList texts;
        for (const QLabel* label : window.findChildren<QLabel*>())
            texts << label->text();
        // Title, subtitle, an empty line, the version with its build date, two breaks
        // (no dot matches a line break).
        const QRegularExpression about(R"(^Vovo del Pellavio\n.+\n\n.*\d+\.\d+.* \d{4}-\d{2}-\d{2}\n\n$)");
        QVERIFY2(texts.contains("Caricamento... ") && texts.indexOf(about) >= 0, qPrintable(texts.join('|')));
    }

    // In a child process, which ends with 3 if it still runs after the close: the
    // visitor's comes from the window system, as the window manager delivers a
    // click on the close button; the program's when loading is done.
    void closing()
    {
        if (qEnvironmentVariableIsSet("PELLAVIO_CLOSER")) {
            QPointer<LoadingWindow> window = new LoadingWindow();
            QCloseEvent event;
            QSpontaneKeyEvent::setSpontaneous(&event);
            if (qgetenv("PELLAVIO_CLOSER") == "visitor")
                qApp->notify(window, &event);
            window->setProgress(2.0f);
            QTRY_VERIFY(window.isNull());
            std::exit(3);
        }
        for (const QString closer : {"visitor", "program"}) {
            qputenv("PELLAVIO_CLOSER", closer.toLatin1());
            const int status = QProcess::execute(qApp->applicationFilePath(), {"-silent", "closing"});
            qunsetenv("PELLAVIO_CLOSER");
            QCOMPARE(status, closer == "visitor" ? 0 : 3); // -1 for a crash
        }
    }
};

QTEST_MAIN(TestLoadingWindow)
#include "tst_loadingwindow.moc"
