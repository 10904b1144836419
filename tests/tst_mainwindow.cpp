#include "mainwindow.h"

#include "animal.h"
#include "scene.h"
#include "widgetopenGL.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include <algorithm>

namespace {

// "function: message" of every line logged while a test runs.
QStringList logLines;
QtMessageHandler testLibHandler = nullptr;

// Painted fourteen times in the demo room: more exemplars than buttons.
const QString knownAnimal = QStringLiteral("Farfalla");
const QStringList emptyPanel = {"", "", "", "", "", "---", "------------", "", "no web"};

void captureLog(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    logLines << QString::fromLatin1(context.function) + QStringLiteral(": ") + message;
    if (type != QtDebugMsg)
        testLibHandler(type, context, message);
}

QStringList items(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

bool loadingWindowOpen()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](QWidget* w) { return w->inherits("LoadingWindow"); });
}

// Swallows Escape before the view's own handling, which would end the process;
// an Escape taken by the shortcut never gets this far.
struct EscapeGuard : QObject
{
    bool eventFilter(QObject*, QEvent* event) override
    {
        return event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

public slots:
    void captureUrl(const QUrl& url) { openedUrls.append(url); }

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void startUpState();
    void resizeSharedFourToOne();
    void fullScreenShortcuts_data();
    void fullScreenShortcuts();
    void detailCodeShownAndLogged_data();
    void detailCodeShownAndLogged();
    void pointingAtAnimalFillsPanel();
    void choosingNameAndExemplarButtonsHighlightThenFly();
    void searchEscapeAndPointing_data();
    void searchEscapeAndPointing();
    void webButtonsOpenExpectedAddresses_data();
    void webButtonsOpenExpectedAddresses();

private:
    const AnimalData& data() const { return window->view->animalData; }
    int exemplarId(int k) const { return data().records.at(data().indexOfExemplar(knownAnimal, k)).id; }
    Detail detailWithId(int id) const { return window->view->scene->detailAt(window->view->scene->indexOfDetail(id)); }
    void chooseName(const QString& name) { window->animalNameBox->setCurrentIndex(window->animalNameBox->findText(name)); }
    QStringList panel() const;
    QStringList knownAnimalPanel(int id) const;
    void verifyFlyingTo(int id);

    MainWindow* window = nullptr;
    QList<QUrl> openedUrls;
};

void TestMainWindow::initTestCase()
{
    window = new MainWindow;
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QApplication::setActiveWindow(window);
    // The loading window closes itself once the first frame has made the textures.
    QTRY_VERIFY_WITH_TIMEOUT(!loadingWindowOpen(), 60000);
    testLibHandler = qInstallMessageHandler(captureLog);
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "captureUrl");
}

void TestMainWindow::cleanup()
{
    window->searchField->clear();
    window->clearAnimal();
    MainWindow::resetSharedState();
    window->view->setFocus(Qt::OtherFocusReason);
    logLines.clear();
    openedUrls.clear();
}

void TestMainWindow::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    qInstallMessageHandler(testLibHandler);
    delete window;
}

// What the visitor sees of the panel: names, category, texts, lit stars, shown
// exemplar buttons, caption, web buttons.
QStringList TestMainWindow::panel() const
{
    QString stars, buttons;
    for (QLabel* star : window->stars)
        stars += star->isEnabled() ? '*' : '-';
    for (QAbstractButton* button : window->exemplarButtons->buttons())
        buttons += button->isVisible() ? '#' : '-';
    return {window->animalNameBox->currentText(), window->otherNameBox->currentText(),
        window->categoryBox->currentText(), window->descriptionText->toPlainText(), window->notesText->toPlainText(),
        stars, buttons, window->exemplarLabel->isVisible() ? window->exemplarLabel->text() : QString(),
        window->infoButton->isEnabled() && window->imagesButton->isEnabled() ? "web" : "no web"};
}

// The known animal has more exemplars than buttons: all twelve show.
QStringList TestMainWindow::knownAnimalPanel(int id) const
{
    const Animal& a = data().records.at(data().indexOfId(id));
    return {a.name, a.otherName, a.category, a.description, a.notes, QString(a.quality, '*').leftJustified(3, '-'),
        QString(12, '#'), "Esemplari di Farfalla nella sala: ", "web"};
}

// The camera is on its way to the place square in front of the detail.
void TestMainWindow::verifyFlyingTo(int id)
{
    Avatar expected;
    QVERIFY(expected.setInFrontOf(detailWithId(id), float(window->view->width()) / float(window->view->height())));
    QVERIFY(window->view->animationTimer->isActive());
    QCOMPARE(window->view->targetAvatar.position, expected.position);
}

void TestMainWindow::startUpState()
{
    QCOMPARE(window->windowTitle(), QStringLiteral("Vovo del Pellavio"));
    QVERIFY(!window->windowIcon().isNull());
    QCOMPARE(window->focusWidget(), static_cast<QWidget*>(window->view));
    QCOMPARE(items(window->animalNameBox), data().names());
    QCOMPARE(items(window->otherNameBox), data().otherNames());
    QCOMPARE(items(window->categoryBox), QStringList(QString()) + data().categories());
    QCOMPARE(panel(), emptyPanel);

    QCOMPARE(window->stars[2]->pixmap(Qt::ReturnByValue).size(), QSize(20, 20));
    QCOMPARE(window->infoButton->text(), QStringLiteral("Cerca\ninfo"));
    QCOMPARE(window->imagesButton->text(), QStringLiteral("Cerca\nimmagini"));
    QCOMPARE(window->exemplarButtons->button(11)->text(), QStringLiteral("12"));
    QVERIFY(!window->searchIcon->isEnabled());
    QCOMPARE(window->searchIcon->pixmap(Qt::ReturnByValue).size(), QSize(24, 24));
    // The code of the shown detail is kept but never put on screen.
    QVERIFY(!window->codeField->isEnabled() && !window->codeField->isVisible());

    window->resize(300, 200);
    QCOMPARE(window->size(), QSize(800, 600));
}

void TestMainWindow::resizeSharedFourToOne()
{
    auto* splitter = qobject_cast<QSplitter*>(window->centralWidget());
    QVERIFY(splitter);
    window->resize(1300, 700);
    const QList<int> before = splitter->sizes();
    window->resize(1800, 700);
    const QList<int> after = splitter->sizes();
    QCOMPARE(after[0] - before[0], 4 * (after[1] - before[1]));
    QVERIFY(after[1] > before[1]);
    window->resize(800, 600);
}

void TestMainWindow::fullScreenShortcuts_data()
{
    QTest::addColumn<QKeySequence>("keys");

    QTest::newRow("ctrl+F") << QKeySequence("ctrl+F");
    QTest::newRow("alt+Return") << QKeySequence("alt+Return");
}

void TestMainWindow::fullScreenShortcuts()
{
    QFETCH(QKeySequence, keys);

    for (bool fullScreen : {true, false}) {
        QTest::keySequence(window->view, keys);
        QCOMPARE(window->isFullScreen(), fullScreen);
    }
}

void TestMainWindow::detailCodeShownAndLogged_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("code");

    QTest::newRow("first of A") << 0 << "CODE A1";
    QTest::newRow("sixth of A") << 5 << "CODE A6";
    QTest::newRow("hundredth of A") << 99 << "CODE A--";
    QTest::newRow("first of B") << 100 << "CODE B1";
    QTest::newRow("sixth of B") << 105 << "CODE B6";
    QTest::newRow("hundredth of B") << 199 << "CODE B--";
}

void TestMainWindow::detailCodeShownAndLogged()
{
    QFETCH(int, id);
    QFETCH(QString, code);

    emit window->view->notifyMouseOver(id);
    QCOMPARE(window->codeField->text(), code);
    QVERIFY(logLines.contains("void MainWindow::showaDetailData(int): " + code));
}

// With the camera square in front of the detail, its centre is the view's centre.
void TestMainWindow::pointingAtAnimalFillsPanel()
{
    const int id = 102;  // a butterfly on the second north panel
    WidgetOpenGL* view = window->view;
    QVERIFY(view->currentAvatar.setInFrontOf(detailWithId(id), float(view->width()) / float(view->height())));
    view->targetAvatar = view->currentAvatar;
    QTest::mouseMove(view, view->rect().center() - QPoint(3, 0));
    QTest::mouseMove(view, view->rect().center());
    QTRY_COMPARE(window->codeField->text(), QStringLiteral("CODE B3"));
    QCOMPARE(panel(), knownAnimalPanel(id));

    // Told again of the detail it shows, the panel changes nothing.
    window->notesText->setText(QStringLiteral("left alone"));
    emit view->notifyMouseOver(id);
    QCOMPARE(window->notesText->toPlainText(), QStringLiteral("left alone"));

    // A record shown by pointing is not a chosen name: Return flies nowhere.
    QTest::keyClick(window->animalNameBox, Qt::Key_Return);
    QVERIFY(!view->animationTimer->isActive());
}

void TestMainWindow::choosingNameAndExemplarButtonsHighlightThenFly()
{
    chooseName(knownAnimal);
    QCOMPARE(panel(), knownAnimalPanel(exemplarId(0)));
    QCOMPARE(window->view->ponderedDetailId, exemplarId(0));

    QTest::keyClick(window->animalNameBox, Qt::Key_Return);
    verifyFlyingTo(exemplarId(0));
    QTRY_VERIFY_WITH_TIMEOUT(!window->view->animationTimer->isActive(), 20000);
    QTest::keyClick(window->animalNameBox, Qt::Key_Enter, Qt::KeypadModifier);
    verifyFlyingTo(exemplarId(0));

    QTest::mouseClick(window->exemplarButtons->button(1), Qt::LeftButton);
    QVERIFY(logLines.contains("void MainWindow::selectExemplar(int): similar 1 to to Farfalla "));
    QCOMPARE(panel(), knownAnimalPanel(exemplarId(1)));
    QCOMPARE(window->view->ponderedDetailId, exemplarId(1));
    QTest::mouseClick(window->exemplarButtons->button(1), Qt::LeftButton);
    verifyFlyingTo(exemplarId(1));
    QTest::mouseClick(window->exemplarButtons->button(0), Qt::LeftButton);
    QCOMPARE(panel(), knownAnimalPanel(exemplarId(0)));
    QCOMPARE(window->view->ponderedDetailId, exemplarId(0));
}

void TestMainWindow::searchEscapeAndPointing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("otherNames");
    QTest::addColumn<QWidget*>("focus");

    QTest::newRow("category word, Escape in the search field") << "rettili"
        << QStringList{"Biscia", "Ramarro", "Testuggine"}
        << QStringList{"(lacerta bilineata)", "(natrix natrix)", "(testudo hermanni)"}
        << static_cast<QWidget*>(window->searchField);
    QTest::newRow("alternative identification in the notes, Escape in the name box") << "coniglio"
        << QStringList{"Lepre"} << QStringList{"(lepus europaeus)"} << static_cast<QWidget*>(window->animalNameBox);
    QTest::newRow("two words, any case, two blanks, Escape in the view") << "fregio  DESTRA"
        << QStringList{"Delfino", "Pesce", "Pesce palla"}
        << QStringList{"", "(delphinus delphis)", "(tetraodontidae)"} << static_cast<QWidget*>(window->view);
}

// Typing narrows both lists and empties the panel; Escape clears the field
// whichever widget has the focus; pointing after a search restores the lists
// and fills the panel while the field keeps its text.
void TestMainWindow::searchEscapeAndPointing()
{
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    QFETCH(QStringList, otherNames);
    QFETCH(QWidget*, focus);

    emit window->view->notifyMouseOver(exemplarId(0));
    QTest::keyClicks(window->searchField, text);
    QCOMPARE(items(window->animalNameBox), names);
    QCOMPARE(items(window->otherNameBox), otherNames);
    QVERIFY(window->searchIcon->isEnabled());
    QCOMPARE(panel(), emptyPanel);
    const QString search = QStringLiteral("void MainWindow::userEnteredSearchText(QString): ");
    QVERIFY(logLines.contains(search + QStringLiteral("Current: %1 0").arg(otherNames.size())));
    QVERIFY(logLines.contains(search + "setting text: " + otherNames.first()));

    EscapeGuard guard;
    window->view->installEventFilter(&guard);
    focus->setFocus();
    QTest::keyClick(focus, Qt::Key_Escape);
    window->view->removeEventFilter(&guard);
    QCOMPARE(window->searchField->text(), QString());
    QCOMPARE(items(window->animalNameBox), data().names());

    // The detail shown before the search: the emptied panel is filled, not taken for a repeat.
    QTest::keyClicks(window->searchField, text);
    QCOMPARE(items(window->animalNameBox), names);
    emit window->view->notifyMouseOver(exemplarId(0));
    QCOMPARE(items(window->animalNameBox), data().names());
    QCOMPARE(items(window->otherNameBox), data().otherNames());
    QCOMPARE(window->searchField->text(), text);
    QVERIFY(!window->searchIcon->isEnabled());
    QCOMPARE(panel(), knownAnimalPanel(exemplarId(0)));
}

void TestMainWindow::webButtonsOpenExpectedAddresses_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("otherName");
    QTest::addColumn<QString>("infoQuery");
    QTest::addColumn<QString>("imagesQuery");

    QTest::newRow("two-word second name") << "Gallo" << "Gallo domestico" << "Gallo+domestico+Gallo" << "Gallo+domestico";
    QTest::newRow("empty second name") << "Pesce" << "" << "+Pesce" << "Pesce";
    QTest::newRow("second name in parentheses") << "Farfalla" << "(danaus plexippus)"
        << "(danaus+plexippus)+Farfalla" << "Farfalla";
    QTest::newRow("four blanks give one plus, five two") << "Gru     cenerina" << "Grus    grus"
        << "Grus+grus+Gru++cenerina" << "Grus+grus";
    QTest::newRow("reserved characters stay in the name") << "Pesce & gatto #2" << "Ictalurus 50% +"
        << "Ictalurus+50%25+%2B+Pesce+%26+gatto+%232" << "Ictalurus+50%25+%2B";
    QTest::newRow("accented name") << "Ànatra" << "" << "+%C3%80natra" << "%C3%80natra";
}

// Names the demo room lacks come from a record added for the case and
// reached through a search, as a visitor would reach it.
void TestMainWindow::webButtonsOpenExpectedAddresses()
{
    QFETCH(QString, name);
    QFETCH(QString, otherName);
    QFETCH(QString, infoQuery);
    QFETCH(QString, imagesQuery);

    AnimalData& database = window->view->animalData;
    const QVector<Animal> original = database.records;
    if (database.indexOfName(name) == -1) {
        database.records.append({name, otherName, QString(), QStringLiteral("qzxfixture"), 0, QString(), 2599});
        QTest::keyClicks(window->searchField, QStringLiteral("qzxfixture"));
    }
    chooseName(name);
    QTest::mouseClick(window->infoButton, Qt::LeftButton);
    QTest::mouseClick(window->imagesButton, Qt::LeftButton);
    database.records = original;

    const QString search = QStringLiteral("http://www.google.com/search?q=");
    QCOMPARE(openedUrls.size(), 2);
    QCOMPARE(QString::fromLatin1(openedUrls[0].toEncoded()), search + infoQuery + "&btnI");
    QCOMPARE(QString::fromLatin1(openedUrls[1].toEncoded()), search + imagesQuery + "&tbm=isch");
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
