// The kiosk window: the 3D view beside the Italian browsing panel, which shows
// the determination of one exemplar and lets the visitor choose, search and
// step through the exemplars of an animal.
#pragma once

#include <QMainWindow>
#include <QString>

class Animal;
class QButtonGroup;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class WidgetOpenGL;

// The web search service whose "/search?q=...&btnI" and "&tbm=isch" address
// syntax the two panel buttons use.
extern const char* const webSearchHost;

// "CODE A1" for detail 0, "CODE B--" for 199: the letter of the hundred and
// the 1-based number inside it.
QString detailCodeText(int id);

// A name turned into the q= value of a web search: blanks become "+", and
// characters that would end or change the query are percent-encoded.
QString webQueryText(const QString& text);

// Every panel widget carries its member's name as object name ("animalNameBox",
// "star1" to "star3", "exemplarButton1" to "exemplarButton12", ...), so that
// tools and tests find them among the window's children.
class MainWindow : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY(MainWindow)

public:
    explicit MainWindow(QWidget* parent = nullptr);

    // The panel's memory (last detail shown, last exemplar chosen, last search)
    // is shared by the whole process; a fresh window in the same process starts
    // from a clean slate only after this.
    static void resetSharedState();

    WidgetOpenGL* roomView() const { return view; }
    void clearAnimal();
    void resetSearch();
    // Off: the web buttons show their address as a QR code instead of starting
    // a browser. The code stands in for a browser that fails to start as well.
    void setBrowserAllowed(bool allowed) { browserAllowed = allowed; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void userSelectsAnimalName(QString s);
    void userPondersAnimalName(QString s);
    void userEnteredSearchText(QString text);
    void userWantedGoogleData();
    void userWantedGoogleImages();
    void selectExemplar(int id);
    void showaDetailData(int id);
    void onUserMouseOverAnimal(int id);
    void toggleFullScreen();
    void onDatabaseReloaded();

private:
    QWidget* buildExemplarRow();
    QWidget* buildStarRow();
    QWidget* buildSearchRow();
    void nameWidgets();
    void connectPanel();
    void connectViewAndFullScreen();
    void openWebSearch(const QString& pathAndQuery, const QString& query);
    void showAnimal(Animal animal);
    void fillNameLists(const QString& searchText);
    QString dataQuery() const;
    QString imagesQuery() const;

    QComboBox* animalNameBox = nullptr;
    QComboBox* otherNameBox = nullptr;
    WidgetOpenGL* view = nullptr;
    QLineEdit* codeField = nullptr;
    QTextEdit* notesText = nullptr;
    QComboBox* categoryBox = nullptr;
    QTextEdit* descriptionText = nullptr;
    QButtonGroup* exemplarButtons = nullptr;
    QLabel* exemplarLabel = nullptr;
    QLineEdit* searchField = nullptr;
    QLabel* searchIcon = nullptr;
    QPushButton* imagesButton = nullptr;
    QPushButton* infoButton = nullptr;
    QLabel* stars[3] = {nullptr, nullptr, nullptr};
    int currentDetailId = -1;
    // The id of the record the panel shows; -1 while it is empty.
    int shownRecordId = -1;
    bool browserAllowed = true;
};
