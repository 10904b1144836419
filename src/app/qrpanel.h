// A web address as a QR code for the visitor's phone: shown over the program
// in place of a browser, which would take the kiosk's screen away from it.
#pragma once

#include <QFrame>
#include <QImage>
#include <QUrl>

class QLabel;

// The QR code of `text`: black modules of `moduleSize` pixels on white, with
// the standard quiet zone of four modules; a null image when the text does not
// fit a QR code.
QImage qrCodeImage(const QByteArray& text, int moduleSize);

// A popup: a touch outside it, its close button or Escape closes it.
class QrPanel : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY(QrPanel)

public:
    explicit QrPanel(QWidget* parent);

    // Shows `address` over `window` in the window's one panel, made on first use.
    static QrPanel* showAddress(QWidget* window, const QUrl& address);

    // Exactly what the code carries: the address as a browser is handed it.
    QString codeText() const { return code; }

private:
    void setAddress(const QUrl& address);

    QLabel* codeImage = nullptr;
    QLabel* addressText = nullptr;
    QString code;
};
