// The program locked for a museum: full screen without frame, no way for a
// visitor to close or shrink it, the pointer out of sight while unused, web
// addresses shown as QR codes; staff end it with ctrl+alt+Q.
#pragma once

#include <QObject>

struct ProgramOptions;
class MainWindow;
class QEvent;
class QTimer;

class Kiosk : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(Kiosk)

public:
    static constexpr int pointerHideMilliseconds = 3000;
    // A fingertip, in device-independent pixels: the least height of every
    // button, pick list, list entry and the search field.
    static constexpr int fingerHeight = 44;

    explicit Kiosk(MainWindow* window);
    ~Kiosk() override;

    bool pointerHidden() const { return hidingPointer; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void hidePointer();
    void coverScreen();

private:
    void showPointer();
    void disableFullScreenToggles();
    void fitPanelToFingers();

    MainWindow* window = nullptr;
    QTimer* pointerTimer = nullptr;
    bool hidingPointer = false;
};

// What the options ask of the window: a kiosk, an idle reset with its tour.
// Without any option nothing is made and the program stays as it always was.
void applyProgramOptions(MainWindow* window, const ProgramOptions& options);
