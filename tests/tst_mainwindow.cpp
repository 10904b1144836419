#include "mainwindow.h"

#include "panelfit.h"
#include "widgetopenGL.h"
#include "viewprojection.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QSplitter>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

namespace {

// "function: message" of every line logged while a test runs.
QStringList logLines;
QtMessageHandler testLibHandler = nullptr;

// Painted fourteen times in the demo room: more exemplars than buttons.
const QString knownAnimal = QStringLiteral("Farfalla");
const QStringList emptyPanel = {"", "", "", "", "", "---", "------------", "", "no web"};
const QString databasePath = QStringLiteral("data/determinazioni.csv");

void captureLog(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    logLines << QString::fromLatin1(context.function) + QStringLiteral(": ") + message;
    if (type != QtDebugMsg)
        testLibHandler(type, context, message);
}

// Saved as editors do: a new file renamed over the old one.
bool writeDatabase(const QByteArray& bytes)
{
    QSaveFile file(databasePath);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// The demo room in a folder of its own, where the database may be rewritten:
// every other file is a link to the demo room's. Gives the demo database, or
// nothing where the copy failed.
QByteArray makeRoomCopy(const QString& folder)
{
    QFile demo(databasePath);
    const QByteArray database = demo.open(QIODevice::ReadOnly) ? demo.readAll() : QByteArray();
    QStringList paths = QDir().entryList({"*.glsl"}, QDir::Files);
    for (const QString& name : QDir("data").entryList(QDir::Files))
        paths << "data/" + name;
    bool ok = QDir(folder).mkpath("data");
    for (const QString& path : paths)
        ok = ok && (path == databasePath || QFile::link(QDir().absoluteFilePath(path), folder + "/" + path));
    return ok && QDir::setCurrent(folder) && writeDatabase(database) ? database : QByteArray();
}

QStringList items(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// A finger's tap, with no pointer anywhere near.
void tap(QWidget* widget, const QPoint& at)
{
    static QTouchDevice* const screen = QTest::createTouchDevice();
    QTest::touchEvent(widget, screen).press(0, at, widget);
    QTest::touchEvent(widget, screen).release(0, at, widget);
}

// Any of the application's widgets of the class with the name, or with any name for none.
QWidget* appWidget(const char* className, const QString& name = QString())
{
    for (QWidget* widget : QApplication::allWidgets())
        if (widget->inherits(className) && (name.isEmpty() || widget->objectName() == name))
            return widget;
    return nullptr;
}

// Standard deviation of the grey levels of a frame between two corners.
double greySpread(const QImage& image, QPoint a, QPoint b)
{
    const QRect area = QRect(a, b).normalized().intersected(image.rect());
    double sum = 0, squares = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            sum += grey;
            squares += grey * grey;
        }
    const double n = qMax(1, area.width() * area.height()), mean = sum / n;
    return std::sqrt(qMax(0.0, squares / n - mean * mean));
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

public slots:
    void captureUrl(const QUrl& url) { openedUrls.append(QString::fromLatin1(url.toEncoded())); }

private:
    QTemporaryDir room;
    QByteArray demoDatabase;
    MainWindow* window = nullptr;
    QStringList openedUrls; // encoded
    // The window's widgets, found by their object names, which are the members' own.
    WidgetOpenGL* view = nullptr;
    QTimer *animationTimer = nullptr, *reloadTimer = nullptr;
    QComboBox *animalNameBox = nullptr, *categoryBox = nullptr, *otherNameBox = nullptr;
    QLabel *exemplarLabel = nullptr, *searchIcon = nullptr, *stars[3] = {};
    QLineEdit *codeField = nullptr, *searchField = nullptr;
    QPushButton *exemplarButtons[12] = {}, *imagesButton = nullptr, *infoButton = nullptr;
    QTextEdit *descriptionText = nullptr, *notesText = nullptr;

    // Swallows Escape before the view's own handling, which would end the
    // process; an Escape taken by the shortcut never gets this far.
    bool eventFilter(QObject*, QEvent* event) override
    {
        return event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    }

    template <typename T, typename... More>
    void find(T*& found, const char* name, More&&... more)
    {
        found = window->findChild<T*>(name);
        QVERIFY2(found, name);
        if constexpr (sizeof...(more) > 0)
            find(more...);
    }
    const AnimalData& data() const { return view->animals(); }
    int exemplarId(int k) const { return data().records.at(data().indexOfExemplar(knownAnimal, k)).id; }
    Detail detailWithId(int id) const { return view->room().detailAt(view->room().indexOfDetail(id)); }
    float viewAspect() const { return float(view->width()) / float(view->height()); }
    void chooseName(const QString& name) { animalNameBox->setCurrentIndex(animalNameBox->findText(name)); }
    // The pick lists: names, second names, and the categories after a blank.
    QList<QStringList> lists() const { return {items(animalNameBox), items(otherNameBox), items(categoryBox)}; }
    QList<QStringList> listsOf(const QStringList& names, const QStringList& otherNames) const
    {
        return {names, otherNames, QStringList(QString()) + data().categories()};
    }
    QPoint pixelOf(point3 world) const { return projectedPixel(view->camera(), view->size(), world); }

    // What the visitor sees of the panel: names, category, texts, lit stars,
    // shown exemplar buttons, caption, web buttons.
    QStringList panel() const
    {
        QString litStars, shownButtons;
        for (QLabel* star : stars)
            litStars += star->isEnabled() ? '*' : '-';
        for (QPushButton* button : exemplarButtons)
            shownButtons += button->isVisible() ? '#' : '-';
        return {animalNameBox->currentText(), otherNameBox->currentText(), categoryBox->currentText(),
            descriptionText->toPlainText(), notesText->toPlainText(), litStars, shownButtons,
            exemplarLabel->isVisible() ? exemplarLabel->text() : QString(),
            infoButton->isEnabled() && imagesButton->isEnabled() ? "web" : "no web"};
    }

    // The known animal has more exemplars than buttons: all twelve show.
    QStringList knownAnimalPanel(int id) const
    {
        const Animal& a = data().records.at(data().indexOfId(id));
        return {a.name, a.otherName, a.category, a.description, a.notes,
            QString(a.quality, '*').leftJustified(3, '-'), QString(12, '#'),
            "Esemplari di Farfalla nella sala: ", "web"};
    }

    // The camera is on its way to the place square in front of the detail.
    void verifyFlyingTo(int id)
    {
        Avatar expected;
        QVERIFY(expected.setInFrontOf(detailWithId(id), viewAspect()));
        QVERIFY(animationTimer->isActive());
        QCOMPARE(view->cameraTarget().position, expected.position);
    }

private slots:
    void initTestCase()
    {
        demoDatabase = room.isValid() ? makeRoomCopy(room.path()) : QByteArray();
        QVERIFY(!demoDatabase.isEmpty());
        window = new MainWindow;
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QApplication::setActiveWindow(window);
        // The loading window closes itself once the first frame has made the textures.
        QTRY_VERIFY_WITH_TIMEOUT(!appWidget("LoadingWindow"), 60000);
        find(view, "view", animationTimer, "animationTimer", reloadTimer, "reloadTimer", animalNameBox,
             "animalNameBox", otherNameBox, "otherNameBox", categoryBox, "categoryBox", notesText, "notesText",
             descriptionText, "descriptionText", exemplarLabel, "exemplarLabel", searchField, "searchField",
             searchIcon, "searchIcon", imagesButton, "imagesButton", infoButton, "infoButton");
        view->installEventFilter(this);
        for (int i = 0; i < 3; ++i)
            find(stars[i], qPrintable(QStringLiteral("star%1").arg(i + 1)));
        for (int i = 0; i < 12; ++i)
            find(exemplarButtons[i], qPrintable(QStringLiteral("exemplarButton%1").arg(i + 1)));
        // The code field is kept off screen and out of every layout, so it is
        // not among the window's children.
        QVERIFY(codeField = qobject_cast<QLineEdit*>(appWidget("QLineEdit", "codeField")));
        testLibHandler = qInstallMessageHandler(captureLog);
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "captureUrl");
    }

    // Every test starts from the window as the visitor finds it: no search,
    // empty panel, camera still at the room's start, focus in the view.
    void init()
    {
        QVERIFY(writeDatabase(demoDatabase));
        view->reloadDatabase();
        // The reload the watcher asks for after the writes is not waited for.
        QTest::qWait(50);
        reloadTimer->stop();
        searchField->clear();
        window->clearAnimal();
        MainWindow::resetSharedState();
        Avatar start;
        start.resetToStart(view->room());
        view->placeCamera(start);
        view->ponderDetail(-1);
        view->setFocus(Qt::OtherFocusReason);
        logLines.clear();
        openedUrls.clear();
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        qInstallMessageHandler(testLibHandler);
        delete window;
    }

    void startUpState()
    {
        QCOMPARE(window->windowTitle(), QStringLiteral("Vovo del Pellavio"));
        QVERIFY(!window->windowIcon().isNull());
        QCOMPARE(window->focusWidget(), static_cast<QWidget*>(view));
        QCOMPARE(lists(), listsOf(data().names(), data().otherNames()));
        QCOMPARE(panel(), emptyPanel);
        // The icons come from the program's resources.
        for (const QLabel* icon : {stars[2], searchIcon})
            QVERIFY(!icon->pixmap(Qt::ReturnByValue).isNull());
        QVERIFY(!searchIcon->isEnabled());
        // The code of the shown detail is kept but never put on screen.
        QVERIFY(!codeField->isEnabled() && !codeField->isVisible());
    }

    void resizing_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("kept");
        QTest::newRow("too small: 800 x 600") << QSize(300, 200) << QSize(800, 600);
        QTest::newRow("full HD") << QSize(1920, 1080) << QSize(1920, 1080);
    }

    // The exemplar numbers show whole; width gained past the panel's least goes
    // four parts to the view for one to the panel.
    void resizing()
    {
        QFETCH(QSize, size);
        QFETCH(QSize, kept);
        auto* splitter = qobject_cast<QSplitter*>(window->centralWidget());
        QVERIFY(splitter);
        chooseName(knownAnimal);
        window->resize(size);
        QTRY_COMPARE(window->size(), kept);
        QApplication::processEvents();
        for (QPushButton* button : exemplarButtons)
            QVERIFY2(button->isVisible() && labelWhole(button), qPrintable(button->text()));
        window->resize(kept.width() + 500, kept.height());
        const QList<int> before = splitter->sizes();
        window->resize(kept.width() + 1000, kept.height());
        const QList<int> after = splitter->sizes();
        QCOMPARE(after[0] - before[0], 4 * (after[1] - before[1]));
        QVERIFY(after[1] > before[1]);
        window->resize(800, 600);
    }

    void fullScreenShortcuts_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("ctrl+F") << QKeySequence("ctrl+F");
        QTest::newRow("alt+Return") << QKeySequence("alt+Return");
    }

    void fullScreenShortcuts()
    {
        QFETCH(QKeySequence, keys);
        for (const bool fullScreen : {true, false}) {
            QTest::keySequence(view, keys);
            QCOMPARE(window->isFullScreen(), fullScreen);
        }
    }

    void detailCodeShownAndLogged_data()
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

    void detailCodeShownAndLogged()
    {
        QFETCH(int, id);
        QFETCH(QString, code);
        emit view->notifyMouseOver(id);
        QCOMPARE(codeField->text(), code);
        QVERIFY(logLines.contains("void MainWindow::showaDetailData(int): " + code));
    }

    void pointingAtAnimalFillsPanel_data()
    {
        QTest::addColumn<bool>("byTap");
        QTest::newRow("pointer resting on it") << false;
        QTest::newRow("tapped, at once") << true;
    }

    // With the camera square in front of the detail, its centre is the view's centre.
    void pointingAtAnimalFillsPanel()
    {
        QFETCH(bool, byTap);
        const int id = 102; // a butterfly on the second north panel
        Avatar facing;
        QVERIFY(facing.setInFrontOf(detailWithId(id), viewAspect()));
        view->placeCamera(facing);
        if (byTap) {
            tap(view, view->rect().center());
            QCOMPARE(codeField->text(), QStringLiteral("CODE B3"));
        } else {
            QTest::mouseMove(view, view->rect().center() - QPoint(3, 0));
            QTest::mouseMove(view, view->rect().center());
        }
        QTRY_COMPARE(codeField->text(), QStringLiteral("CODE B3"));
        QCOMPARE(panel(), knownAnimalPanel(id));
        // Told again of the detail it shows, the panel changes nothing.
        notesText->setText(QStringLiteral("left alone"));
        emit view->notifyMouseOver(id);
        QCOMPARE(notesText->toPlainText(), QStringLiteral("left alone"));
        // A record shown by pointing is not a chosen name: Return flies nowhere.
        QTest::keyClick(animalNameBox, Qt::Key_Return);
        QVERIFY(!animationTimer->isActive());
    }

    void choosingNameAndExemplarButtonsHighlightThenFly()
    {
        chooseName(knownAnimal);
        QCOMPARE(panel(), knownAnimalPanel(exemplarId(0)));
        QCOMPARE(view->ponderedDetail(), exemplarId(0));
        QTest::keyClick(animalNameBox, Qt::Key_Return);
        verifyFlyingTo(exemplarId(0));
        QTRY_VERIFY_WITH_TIMEOUT(!animationTimer->isActive(), 20000);
        QTest::keyClick(animalNameBox, Qt::Key_Enter, Qt::KeypadModifier);
        verifyFlyingTo(exemplarId(0));

        QTest::mouseClick(exemplarButtons[1], Qt::LeftButton);
        QVERIFY(logLines.contains("void MainWindow::selectExemplar(int): similar 1 to to Farfalla "));
        QCOMPARE(panel(), knownAnimalPanel(exemplarId(1)));
        QCOMPARE(view->ponderedDetail(), exemplarId(1));
        QTest::mouseClick(exemplarButtons[1], Qt::LeftButton);
        verifyFlyingTo(exemplarId(1));
        QTest::mouseClick(exemplarButtons[0], Qt::LeftButton);
        QCOMPARE(panel(), knownAnimalPanel(exemplarId(0)));
        QCOMPARE(view->ponderedDetail(), exemplarId(0));
    }

    void searchEscapeAndPointing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("otherNames");
        QTest::addColumn<QString>("focus");
        QTest::newRow("category word, Escape in the search field") << "rettili"
            << QStringList{"Biscia", "Ramarro", "Testuggine"}
            << QStringList{"(lacerta bilineata)", "(natrix natrix)", "(testudo hermanni)"} << "searchField";
        QTest::newRow("alternative identification in the notes, Escape in the name box") << "coniglio"
            << QStringList{"Lepre"} << QStringList{"(lepus europaeus)"} << "animalNameBox";
        QTest::newRow("two words, any case, two blanks, Escape in the view") << "fregio  DESTRA"
            << QStringList{"Delfino", "Pesce", "Pesce palla"}
            << QStringList{"", "(delphinus delphis)", "(tetraodontidae)"} << "view";
    }

    // Typing narrows both lists and empties the panel; Escape clears the field
    // whichever widget has the focus; pointing after a search restores the lists
    // and fills the panel while the field keeps its text.
    void searchEscapeAndPointing()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        QFETCH(QStringList, otherNames);
        QFETCH(QString, focus);
        QWidget* focused = window->findChild<QWidget*>(focus);
        QVERIFY(focused);

        emit view->notifyMouseOver(exemplarId(0));
        QTest::keyClicks(searchField, text);
        QCOMPARE(lists(), listsOf(names, otherNames));
        QVERIFY(searchIcon->isEnabled());
        QCOMPARE(panel(), emptyPanel);
        const QString search = QStringLiteral("void MainWindow::userEnteredSearchText(QString): ");
        QVERIFY(logLines.contains(search + QStringLiteral("Current: %1 0").arg(otherNames.size())));
        QVERIFY(logLines.contains(search + "setting text: " + otherNames.first()));

        focused->setFocus();
        QTest::keyClick(focused, Qt::Key_Escape);
        QCOMPARE(searchField->text(), QString());
        QCOMPARE(lists(), listsOf(data().names(), data().otherNames()));

        // The detail shown before the search: the emptied panel is filled, not taken for a repeat.
        QTest::keyClicks(searchField, text);
        QCOMPARE(items(animalNameBox), names);
        emit view->notifyMouseOver(exemplarId(0));
        QCOMPARE(lists(), listsOf(data().names(), data().otherNames()));
        QCOMPARE(searchField->text(), text);
        QVERIFY(!searchIcon->isEnabled());
        QCOMPARE(panel(), knownAnimalPanel(exemplarId(0)));
    }

    void webButtonsOpenExpectedAddresses_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("otherName");
        QTest::addColumn<QString>("infoQuery");
        QTest::addColumn<QString>("imagesQuery");
        QTest::newRow("two-word second name") << "Gallo" << "Gallo domestico" << "Gallo+domestico+Gallo"
            << "Gallo+domestico";
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
    void webButtonsOpenExpectedAddresses()
    {
        QFETCH(QString, name);
        QFETCH(QString, otherName);
        QFETCH(QString, infoQuery);
        QFETCH(QString, imagesQuery);
        AnimalData& database = view->animals(); // read again from the file before the next test
        if (database.indexOfName(name) == -1) {
            database.records.append({name, otherName, QString(), "qzxfixture", 0, QString(), 2599});
            QTest::keyClicks(searchField, QStringLiteral("qzxfixture"));
        }
        chooseName(name);
        QTest::mouseClick(infoButton, Qt::LeftButton);
        QTest::mouseClick(imagesButton, Qt::LeftButton);
        const QString search = QStringLiteral("http://www.google.com/search?q=");
        QCOMPARE(openedUrls, QStringList({search + infoQuery + "&btnI", search + imagesQuery + "&tbm=isch"}));
    }

    void clickInViewTakesKeysBack_data()
    {
        QTest::addColumn<QString>("used"); // the panel widget the visitor used last
        QTest::addColumn<bool>("byTap");
        QTest::newRow("after typing a search") << "searchField" << false;
        QTest::newRow("after picking a name") << "animalNameBox" << false;
        QTest::newRow("tapped, after typing a search") << "searchField" << true;
    }

    // Once the visitor has used the panel, a click or a tap in the view gives
    // it the keys again: S reads the shaders (F5 goes the same way).
    void clickInViewTakesKeysBack()
    {
        QFETCH(QString, used);
        QFETCH(bool, byTap);
        QWidget* widget = window->findChild<QWidget*>(used);
        QVERIFY(widget);
        widget->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(widget, used == "searchField" ? "farfalla" : "");
        QTest::keyClick(widget, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), widget);
        QVERIFY(used == "searchField" || view->ponderedDetail() >= 0); // a name picked shows in the view
        const QPoint centre = view->rect().center();
        byTap ? tap(view, centre) : QTest::mouseClick(view, Qt::RightButton, {}, centre);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(view));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S);
        QVERIFY(logLines.contains("virtual void WidgetOpenGL::keyPressEvent(QKeyEvent*): Reload Shaders!"));
    }

    void reloadRebuildsListsAndPanel_data()
    {
        QTest::addColumn<QByteArray>("database");
        QTest::addColumn<bool>("byWatcher"); // read once quiet, or F5
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("logged"); // after "Animal database data/determinazioni.csv "
        QByteArray described = demoDatabase, withoutKnownAnimal;
        described.replace("In alto a sinistra del riquadro, di fronte.", "Sul fiore.");
        for (const QByteArray& line : demoDatabase.split('\n'))
            withoutKnownAnimal += line.contains(";Farfalla;") ? QByteArray() : line + '\n';
        QTest::newRow("shown exemplar described anew, F5") << described << false << ""
            << "read again: records read: 52, lines dropped: 0";
        QTest::newRow("shown animal gone, F5") << withoutKnownAnimal << false << ""
            << "read again: records read: 38, lines dropped: 0";
        QTest::newRow("animal added under a search, saved by rename")
            << demoDatabase + "99;1;Z;Cetacei;Balena;balaena;Buona;Sul mare.;;;\nsenza numero;;;\n" << true
            << "balena" << "read again: records read: 53, lines dropped: 1";
        QTest::newRow("emptied, F5: nothing changes") << QByteArray() << false << ""
            << "not read again: the file is empty; keeping the records read before (52)";
    }

    // The lists offer the new names and categories, under the search typed; the
    // panel shows the exemplar it showed as it now reads, or empties if it is gone.
    // A file that gives no record changes nothing.
    void reloadRebuildsListsAndPanel()
    {
        QFETCH(QByteArray, database);
        QFETCH(bool, byWatcher);
        QFETCH(QString, search);
        QFETCH(QString, logged);
        const int shown = exemplarId(0);
        emit view->notifyMouseOver(shown);
        QTest::keyClicks(searchField, search);
        QVERIFY(writeDatabase(database));
        QSignalSpy reloaded(view, SIGNAL(databaseReloaded()));
        if (byWatcher)
            QTRY_COMPARE_WITH_TIMEOUT(reloaded.size(), 1, 10000);
        else
            QTest::keyClick(view, Qt::Key_F5);
        QCOMPARE(reloaded.size(), database.isEmpty() ? 0 : 1);
        const QStringList said = logLines.filter("Animal database");
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().section("): ", 1), "Animal database " + databasePath + " " + logged);

        QStringList names, otherNames;
        data().search(search, names, otherNames);
        QCOMPARE(lists(), listsOf(names, otherNames));
        QCOMPARE(panel(), data().indexOfId(shown) < 0 || !search.isEmpty() ? emptyPanel : knownAnimalPanel(shown));
        if (database.contains("Sul fiore."))
            QCOMPARE(descriptionText->toPlainText(), QStringLiteral("Sul fiore."));
        if (!search.isEmpty()) {
            QCOMPARE(names, QStringList("Balena"));
            chooseName("Balena");
            QCOMPARE(panel().mid(0, 4), (QStringList{"Balena", "(balaena)", "Cetacei", "Sul mare."}));
            QCOMPARE(view->ponderedDetail(), 2500);
        }
    }

    // From the start the floor shows its tiles and the wainscot its panels, not
    // one flat colour each; turned up as far as it goes, every way round, the
    // camera sees the ceiling, never the black background.
    void roomIsShadedAndClosedAbove()
    {
        // As drawn; the software renderer keeps it in the back buffer after the swap.
        const auto frame = [this] { view->updateGL(); return view->grabFrameBuffer(); };
        const point3 eye = view->camera().position;
        QImage image = frame();
        const double floor =
            greySpread(image, pixelOf({eye.x - 1.5f, 0, eye.z - 2}), pixelOf({eye.x + 1.5f, 0, eye.z - 3}));
        const Section& section = view->room().sections.at(1); // wainscotted under the frieze, without a bench
        const double wainscot = greySpread(image, pixelOf(section.toWorld({0.1f * section.width, 0.2f, 0.05f})),
                                           pixelOf(section.toWorld({0.9f * section.width, 1.4f, 0.05f})));
        // Both were 0 when the floor and the models were drawn flat.
        QVERIFY2(floor > 10 && wainscot > 3, qPrintable(QString("floor %1, wainscot %2").arg(floor).arg(wainscot)));
        for (const float yaw : {0.0f, 90.0f, 180.0f, 270.0f}) {
            Avatar up = view->camera();
            up.yaw = yaw;
            up.pitch = 35;
            view->placeCamera(up);
            image = frame();
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < image.width(); ++x)
                    QVERIFY2(image.pixel(x, y) & 0xffffff,
                             qPrintable(QString("yaw %1: background at %2, %3").arg(yaw).arg(x).arg(y)));
        }
    }

    // In front of each detail the mouse-over test reads its colour exactly, well
    // inside its silhouette: the detail's own texels pick it.
    void pickingReadsEveryDetailsColour()
    {
        const Scene& scene = view->room();
        int checked = 0;
        for (int panel = 0; panel < scene.sections.size(); ++panel) {
            const Section& section = scene.sections.at(panel);
            for (const Picture& picture : section.pictures) {
                // The view lets its decoded maps go once they are on the card: the file is read again.
                const QImage map = toGLLayout(QImage(picture.mapPath));
                const auto is = [&](int x, int y, QRgb colour) { return map.pixel(x, y) == colour; };
                for (const Detail& detail : scene.details) {
                    if (detail.panel != panel || !picture.mapPath.endsWith("/" + detail.name))
                        continue;
                    Avatar front = view->camera();
                    QVERIFY(front.setInFrontOf(detail, viewAspect()));
                    view->placeCamera(front);
                    // Maps are kept as GL reads them: bottom row first, red and blue swapped.
                    const QRgb c = qRgb(int(detail.color.z), int(detail.color.y), int(detail.color.x));
                    // A texel of the detail's colour with its neighbours four texels around of it too.
                    QPoint inside(-1, -1);
                    for (int y = 4; y < map.height() - 4 && inside.x() < 0; y += 4)
                        for (int x = 4; x < map.width() - 4 && inside.x() < 0; x += 4)
                            if (is(x, y, c) && is(x - 4, y, c) && is(x + 4, y, c) && is(x, y - 4, c) && is(x, y + 4, c))
                                inside = QPoint(x, y);
                    QVERIFY2(inside.x() >= 0, qPrintable(detail.name));
                    const float u = (inside.x() + 0.5f) / map.width(), v = (inside.y() + 0.5f) / map.height();
                    const QPoint pixel = pixelOf(section.toWorld(
                        {picture.position.x + u * picture.size.x, picture.position.y + v * picture.size.y, 0}));
                    QTest::mouseMove(view, pixel);
                    view->updateObjectUnderMouse();
                    QCOMPARE(view->readPixelColor(pixel.x(), pixel.y()), detail.color);
                    ++checked;
                }
            }
        }
        QCOMPARE(checked, scene.details.size());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
