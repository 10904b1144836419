// The last seconds before an unattended kiosk returns to its start, shown
// large over the room view, so that a visitor still there can keep the visit.
#pragma once

#include <QFrame>

class QLabel;

// A centred, wrapping label in a large font, as the kiosk's overlays use.
QLabel* newOverlayLabel(QWidget* parent, const char* name, int pixelSize, bool bold);

// "Tra 3 secondi ..." with the right singular for 1.
QString countdownText(int seconds);

// A window of its own floating over the view, never taking the focus or the
// pointer's input: whatever the visitor touches gets the input and ends the
// countdown.
class CountdownOverlay : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY(CountdownOverlay)

public:
    explicit CountdownOverlay(QWidget* over);

    void showSeconds(int seconds);
    int seconds() const { return shownSeconds; }

private:
    QWidget* over = nullptr;
    QLabel* number = nullptr;
    QLabel* text = nullptr;
    int shownSeconds = 0;
};
