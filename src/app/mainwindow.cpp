#include "mainwindow.h"

#include "animal.h"
#include "loadingwindow.h"
#include "qrpanel.h"
#include "widgetopenGL.h"

#include <QBrush>
#include <QButtonGroup>
#include <QColor>
#include <QComboBox>
#include <QDesktopServices>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QSpacerItem>
#include <QSplitter>
#include <QStyle>
#include <QTextEdit>
#include <QUrl>
#include <QVBoxLayout>

const char* const webSearchHost = "www.google.com";

namespace {

const int exemplarButtonCount = 12;
// Three rows of four: every number readable in the narrow panel of an 800 x 600 window.
const int exemplarColumns = 4;
const QColor accentColor(0, 138, 184, 255);

// Shared by every window of the process, as the panel's slots expect.
int lastShownDetailId = -1;
int lastExemplarDetailId = -1;
QString& lastSearchText()
{
    static QString text;
    return text;
}

void applyAccentStyle(QWidget* widget)
{
    widget->setMaximumHeight(25);
    QPalette palette;
    palette.setBrush(QPalette::All, QPalette::Text, QBrush(accentColor, Qt::SolidPattern));
    widget->setPalette(palette);
}

// Wide enough for the button's widest number with the style's margins and frame.
int exemplarButtonWidth(const QPushButton* button)
{
    const QStyle* style = button->style();
    const int margins = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button)
                        + style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    return button->fontMetrics().horizontalAdvance(QString::number(exemplarButtonCount)) + 2 * margins;
}

void makeItalic(QWidget* widget)
{
    QFont font = widget->font();
    font.setItalic(true);
    widget->setFont(font);
}

// A font sized in points reports pixel size -1, so the result is n - 1 pixels.
void enlargeFont(QWidget* widget, int n)
{
    QFont font = widget->font();
    font.setPixelSize(font.pixelSize() + n);
    widget->setFont(font);
}

QComboBox* newAccentBox(int enlargement)
{
    auto* box = new QComboBox;
    applyAccentStyle(box);
    enlargeFont(box, enlargement);
    return box;
}

// Two passes of "two blanks become one", as the search addresses always had:
// runs of up to four blanks end as one.
QString collapseBlanks(QString text)
{
    text.replace(QStringLiteral("  "), QStringLiteral(" "));
    text.replace(QStringLiteral("  "), QStringLiteral(" "));
    return text;
}

// ASCII characters that may stand for themselves inside a query value.
bool keptInQuery(QChar c)
{
    if (c.unicode() >= 128)
        return true;  // the address encodes non-ASCII letters itself
    return c.isLetterOrNumber() || QStringLiteral("-._~()',").contains(c);
}

QString percentEncodeWord(const QString& word)
{
    QString encoded;
    for (QChar c : word) {
        if (keptInQuery(c))
            encoded += c;
        else
            encoded += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
    }
    return encoded;
}

}  // namespace

QString detailCodeText(int id)
{
    const QChar letter(QLatin1Char('A').unicode() + id / 100);
    const int number = id % 100;
    const QString numberText = number == 99 ? QStringLiteral("--") : QString::number(number + 1);
    return QStringLiteral("CODE %1%2").arg(letter).arg(numberText);
}

QString webQueryText(const QString& text)
{
    QStringList words = collapseBlanks(text).split(QLatin1Char(' '));
    for (QString& word : words)
        word = percentEncodeWord(word);
    return words.join(QLatin1Char('+'));
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent, Qt::WindowFlags())
{
    Q_INIT_RESOURCE(resources);
    currentDetailId = -1;

    WidgetOpenGL::setLoadingWindowMaker([]() -> QWidget* { return new LoadingWindow(); });
    view = new WidgetOpenGL(nullptr);
    view->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);

    codeField = new QLineEdit(QStringLiteral("Animale:"));
    applyAccentStyle(codeField);
    enlargeFont(codeField, 25);

    otherNameBox = newAccentBox(15);
    otherNameBox->addItems(view->animals().otherNames());
    makeItalic(otherNameBox);

    notesText = new QTextEdit;
    notesText->setReadOnly(true);
    notesText->setMaximumHeight(110);
    makeItalic(notesText);

    animalNameBox = new QComboBox;
    applyAccentStyle(animalNameBox);
    animalNameBox->setMinimumHeight(40);
    enlargeFont(animalNameBox, 22);
    animalNameBox->addItems(view->animals().names());
    animalNameBox->setCurrentIndex(-1);

    descriptionText = new QTextEdit;
    descriptionText->setReadOnly(true);
    descriptionText->setMaximumHeight(36);

    exemplarButtons = new QButtonGroup(nullptr);
    QWidget* exemplarRow = buildExemplarRow();

    searchField = new QLineEdit;

    categoryBox = new QComboBox;
    applyAccentStyle(categoryBox);
    categoryBox->addItem(QString());
    enlargeFont(categoryBox, 15);
    categoryBox->addItems(view->animals().categories());

    codeField->setEnabled(false);

    imagesButton = new QPushButton(QStringLiteral("Cerca\nimmagini"));
    infoButton = new QPushButton(QStringLiteral("Cerca\ninfo"));
    QWidget* starRow = buildStarRow();

    auto* panelLayout = new QVBoxLayout;
    panelLayout->addWidget(animalNameBox);
    panelLayout->addWidget(otherNameBox);
    panelLayout->addWidget(categoryBox);
    panelLayout->addWidget(descriptionText);
    panelLayout->addWidget(notesText);
    panelLayout->addWidget(starRow);
    panelLayout->addItem(new QSpacerItem(20, 20, QSizePolicy::Minimum, QSizePolicy::Minimum));
    panelLayout->addWidget(exemplarLabel);
    panelLayout->addWidget(exemplarRow);
    panelLayout->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Expanding));
    panelLayout->addWidget(buildSearchRow());
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);

    nameWidgets();
    connectPanel();

    auto* panel = new QWidget(this);
    panel->setLayout(panelLayout);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(view);
    splitter->addWidget(panel);
    splitter->setStretchFactor(0, 4);
    splitter->setStretchFactor(1, 1);
    // The splitter shares space in proportion to the sizes it has recorded, and
    // records none before the user drags it: without these the panel would keep
    // its minimum width however wide the window grows.
    splitter->setSizes({4 * 256, 256});
    setCentralWidget(splitter);

    connectViewAndFullScreen();

    view->setFocus(Qt::OtherFocusReason);
    setWindowTitle(QStringLiteral("Vovo del Pellavio"));
    setWindowIcon(QIcon(QStringLiteral(":/pellavio.png")));
    setMinimumSize(800, 600);
    show();
}

void MainWindow::resetSharedState()
{
    lastShownDetailId = -1;
    lastExemplarDetailId = -1;
    lastSearchText().clear();
}

QWidget* MainWindow::buildExemplarRow()
{
    auto* row = new QWidget;
    auto* rowLayout = new QGridLayout;
    rowLayout->setSpacing(4);
    row->setLayout(rowLayout);

    exemplarLabel = new QLabel(QStringLiteral("A"));
    exemplarLabel->hide();

    // The box is not laid out yet: its width is the toolkit's initial one.
    row->setMaximumWidth(otherNameBox->width());

    for (int i = 0; i < exemplarButtonCount; ++i) {
        auto* button = new QPushButton(QString::number(i + 1));
        button->setMinimumWidth(exemplarButtonWidth(button));
        button->setMaximumWidth(button->minimumWidth());
        rowLayout->addWidget(button, i / exemplarColumns, i % exemplarColumns);
        exemplarButtons->addButton(button, i);
        button->hide();
    }
    rowLayout->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum), 0, exemplarColumns);
    return row;
}

QWidget* MainWindow::buildStarRow()
{
    auto* row = new QWidget;
    auto* rowLayout = new QHBoxLayout;
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(3);
    row->setLayout(rowLayout);

    for (QLabel*& star : stars) {
        star = new QLabel(QString());
        star->setPixmap(QPixmap(QStringLiteral(":/star_icon.png")));
        star->setEnabled(false);
        star->setMaximumWidth(23);
        rowLayout->addWidget(star);
    }
    rowLayout->addItem(new QSpacerItem(3, 3, QSizePolicy::Minimum, QSizePolicy::Minimum));
    rowLayout->addWidget(imagesButton);
    rowLayout->addWidget(infoButton);
    imagesButton->setEnabled(false);
    infoButton->setEnabled(false);
    return row;
}

QWidget* MainWindow::buildSearchRow()
{
    auto* row = new QWidget;
    auto* rowLayout = new QHBoxLayout;
    rowLayout->setContentsMargins(0, 0, 0, 0);
    row->setLayout(rowLayout);

    searchIcon = new QLabel(QString());
    searchIcon->setPixmap(QPixmap(QStringLiteral(":/search_icon.png")));
    searchIcon->setEnabled(false);
    rowLayout->addWidget(searchField);
    rowLayout->addWidget(searchIcon);
    return row;
}

void MainWindow::nameWidgets()
{
    const QList<QPair<QObject*, const char*>> named = {
        {animalNameBox, "animalNameBox"}, {otherNameBox, "otherNameBox"}, {view, "view"},
        {codeField, "codeField"}, {notesText, "notesText"}, {categoryBox, "categoryBox"},
        {descriptionText, "descriptionText"}, {exemplarButtons, "exemplarButtons"},
        {exemplarLabel, "exemplarLabel"}, {searchField, "searchField"}, {searchIcon, "searchIcon"},
        {imagesButton, "imagesButton"}, {infoButton, "infoButton"}};
    for (const auto& object : named)
        object.first->setObjectName(QLatin1String(object.second));
    for (int i = 0; i < 3; ++i)
        stars[i]->setObjectName(QStringLiteral("star%1").arg(i + 1));
    for (QAbstractButton* button : exemplarButtons->buttons())
        button->setObjectName(QStringLiteral("exemplarButton%1").arg(exemplarButtons->id(button) + 1));
}

void MainWindow::connectPanel()
{
    connect(otherNameBox, SIGNAL(currentTextChanged(QString)), this, SLOT(userSelectsAnimalName(QString)));
    connect(animalNameBox, SIGNAL(currentTextChanged(QString)), this, SLOT(userSelectsAnimalName(QString)));
    connect(otherNameBox, SIGNAL(highlighted(QString)), this, SLOT(userPondersAnimalName(QString)));
    connect(animalNameBox, SIGNAL(highlighted(QString)), this, SLOT(userPondersAnimalName(QString)));
    connect(exemplarButtons, SIGNAL(buttonClicked(int)), this, SLOT(selectExemplar(int)));
    connect(searchField, SIGNAL(textChanged(QString)), this, SLOT(userEnteredSearchText(QString)));

    auto* escape = new QShortcut(QKeySequence(QStringLiteral("esc"), QKeySequence::NativeText), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, SIGNAL(activated()), searchField, SLOT(clear()));

    connect(infoButton, SIGNAL(clicked()), this, SLOT(userWantedGoogleData()));
    connect(imagesButton, SIGNAL(clicked()), this, SLOT(userWantedGoogleImages()));
}

void MainWindow::connectViewAndFullScreen()
{
    connect(view, SIGNAL(notifyMouseOver(int)), this, SLOT(onUserMouseOverAnimal(int)));
    connect(view, SIGNAL(databaseReloaded()), this, SLOT(onDatabaseReloaded()));
    for (const char* keys : {"ctrl+F", "alt+Return"}) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(keys), QKeySequence::NativeText), this);
        shortcut->setContext(Qt::ApplicationShortcut);
        connect(shortcut, SIGNAL(activated()), this, SLOT(toggleFullScreen()));
    }
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && currentDetailId >= 0)
        view->goToDetail(currentDetailId);
}

void MainWindow::showAnimal(Animal animal)
{
    shownRecordId = animal.id;
    otherNameBox->blockSignals(true);
    animalNameBox->blockSignals(true);
    categoryBox->blockSignals(true);

    otherNameBox->setCurrentText(animal.otherName);
    animalNameBox->setCurrentText(animal.name);
    notesText->setText(animal.notes);
    categoryBox->setCurrentText(animal.category);
    descriptionText->setText(animal.description);

    int count = view->animals().countExemplars(animal.name);
    if (count == 1)
        count = 0;  // a single exemplar needs no buttons
    for (int i = 0; i < exemplarButtonCount; ++i)
        exemplarButtons->button(i)->setVisible(i < count);
    exemplarLabel->setText(QStringLiteral("Esemplari di %1 nella sala: ").arg(animal.name));
    exemplarLabel->setVisible(count != 0);

    for (int k = 0; k < 3; ++k)
        stars[k]->setEnabled(animal.quality > k);
    infoButton->setEnabled(true);
    imagesButton->setEnabled(true);

    otherNameBox->blockSignals(false);
    animalNameBox->blockSignals(false);
    categoryBox->blockSignals(false);
}

void MainWindow::clearAnimal()
{
    currentDetailId = -1;
    shownRecordId = -1;
    // Forgotten so that pointing again at the detail shown before fills the
    // emptied panel instead of being taken for a repeat.
    lastShownDetailId = -1;

    otherNameBox->blockSignals(true);
    animalNameBox->blockSignals(true);
    otherNameBox->setCurrentIndex(-1);
    animalNameBox->setCurrentIndex(-1);
    categoryBox->setCurrentIndex(-1);

    notesText->setText(QString());
    descriptionText->setText(QString());
    infoButton->setEnabled(false);
    imagesButton->setEnabled(false);
    for (QAbstractButton* button : exemplarButtons->buttons())
        button->hide();
    exemplarLabel->hide();
    for (QLabel* star : stars)
        star->setEnabled(false);

    otherNameBox->blockSignals(false);
    animalNameBox->blockSignals(false);
}

void MainWindow::resetSearch()
{
    userEnteredSearchText(QString());
}

QString MainWindow::dataQuery() const
{
    return webQueryText(otherNameBox->currentText() + QLatin1Char(' ') + animalNameBox->currentText());
}

QString MainWindow::imagesQuery() const
{
    const QString otherName = otherNameBox->currentText();
    const bool useOtherName = !otherName.isEmpty() && !otherName.startsWith(QLatin1Char('('));
    return webQueryText(useOtherName ? otherName : animalNameBox->currentText());
}

void MainWindow::userSelectsAnimalName(QString s)
{
    const int index = view->animals().indexOfName(s);
    if (index == -1)
        return;
    const int id = view->animals().records.at(index).id;
    if (id < 0)
        return;
    currentDetailId = id;
    showaDetailData(id);
    view->ponderDetail(id);
}

void MainWindow::userPondersAnimalName(QString)
{
}

void MainWindow::userEnteredSearchText(QString text)
{
    searchIcon->setEnabled(!text.isEmpty());
    if (text == lastSearchText())
        return;
    lastSearchText() = text;

    fillNameLists(text);

    qDebug("Current: %d %d", otherNameBox->count(), otherNameBox->currentIndex());
    if (otherNameBox->currentIndex() == 0 && otherNameBox->count() > 0) {
        const QString first = otherNameBox->itemText(0);
        qDebug("setting text: %s", first.toLocal8Bit().constData());
        otherNameBox->setCurrentText(first);
    }
    clearAnimal();
}

// Both name lists narrowed to the search text, keeping the names they showed
// where the new lists hold them.
void MainWindow::fillNameLists(const QString& searchText)
{
    QStringList nameList;
    QStringList otherNameList;
    view->animals().search(searchText, nameList, otherNameList);

    animalNameBox->blockSignals(true);
    otherNameBox->blockSignals(true);
    const QString name = animalNameBox->currentText();
    const QString otherName = otherNameBox->currentText();
    animalNameBox->clear();
    animalNameBox->addItems(nameList);
    otherNameBox->clear();
    otherNameBox->addItems(otherNameList);
    animalNameBox->setCurrentText(name);
    otherNameBox->setCurrentText(otherName);
    animalNameBox->blockSignals(false);
    otherNameBox->blockSignals(false);
}

// New records: lists built from them, under the search typed, and the panel
// showing again the exemplar it showed, or empty if it has gone.
void MainWindow::onDatabaseReloaded()
{
    const int shown = shownRecordId;
    fillNameLists(lastSearchText());
    categoryBox->blockSignals(true);
    categoryBox->clear();
    categoryBox->addItem(QString());
    categoryBox->addItems(view->animals().categories());
    categoryBox->blockSignals(false);

    const int index = shown < 0 ? -1 : view->animals().indexOfId(shown);
    if (index != -1)
        showAnimal(view->animals().records.at(index));
    else
        clearAnimal();
}

void MainWindow::openWebSearch(const QString& pathAndQuery, const QString& query)
{
    const QString address = QStringLiteral("http://%1%2").arg(QLatin1String(webSearchHost), pathAndQuery.arg(query));
    const QUrl url(address, QUrl::TolerantMode);
    if (!browserAllowed || !QDesktopServices::openUrl(url))
        QrPanel::showAddress(this, url);
}

void MainWindow::userWantedGoogleData()
{
    openWebSearch(QStringLiteral("/search?q=%1&btnI"), dataQuery());
}

void MainWindow::userWantedGoogleImages()
{
    openWebSearch(QStringLiteral("/search?q=%1&tbm=isch"), imagesQuery());
}

void MainWindow::selectExemplar(int id)
{
    const QString name = animalNameBox->currentText();
    qDebug("similar %d to to %s ", id, name.toLocal8Bit().constData());
    const int index = view->animals().indexOfExemplar(name, id);
    if (index == -1)
        return;
    const int detailId = view->animals().records.at(index).id;
    if (detailId < 0)
        return;
    showaDetailData(detailId);
    if (detailId == lastExemplarDetailId)
        view->goToDetail(detailId);
    else
        view->ponderDetail(detailId);
    lastExemplarDetailId = detailId;
}

void MainWindow::showaDetailData(int id)
{
    if (id == lastShownDetailId)
        return;
    lastShownDetailId = id;
    if (id < 0)
        return;

    const QString code = detailCodeText(id);
    codeField->setText(code);
    qDebug("%s", code.toLocal8Bit().constData());

    const int index = view->animals().indexOfId(id);
    if (index == -1) {
        clearAnimal();
        lastShownDetailId = id;  // still a repeat while nothing else is shown
        return;
    }
    showAnimal(view->animals().records.at(index));
}

void MainWindow::onUserMouseOverAnimal(int id)
{
    resetSearch();
    showaDetailData(id);
}

void MainWindow::toggleFullScreen()
{
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
}
