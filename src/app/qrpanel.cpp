#include "qrpanel.h"

#include "countdownoverlay.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <qrencode.h>

#include <algorithm>

namespace {

const int quietZone = 4;
const int codeModuleSize = 8;

} // namespace

QImage qrCodeImage(const QByteArray& text, int moduleSize)
{
    QRcode* qr = QRcode_encodeString8bit(text.constData(), 0, QR_ECLEVEL_M);
    if (!qr) {
        qWarning("No QR code for an address of %d bytes: %s", int(text.size()), text.constData());
        return QImage();
    }
    const int side = (qr->width + 2 * quietZone) * moduleSize;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < qr->width; ++y) {
        for (int x = 0; x < qr->width; ++x) {
            if (!(qr->data[y * qr->width + x] & 1))  // bit 0: a dark module
                continue;
            for (int dy = 0; dy < moduleSize; ++dy)
                for (int dx = 0; dx < moduleSize; ++dx)
                    image.setPixel((x + quietZone) * moduleSize + dx, (y + quietZone) * moduleSize + dy,
                                   qRgb(0, 0, 0));
        }
    }
    QRcode_free(qr);
    return image;
}

QrPanel::QrPanel(QWidget* parent) : QFrame(parent, Qt::Popup)
{
    setObjectName(QStringLiteral("qrPanel"));
    // The touch that closes the panel is not passed on to what lies under it.
    setAttribute(Qt::WA_NoMouseReplay);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(3);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, QColor(0, 80, 110));
    setPalette(white);

    codeImage = new QLabel;
    codeImage->setObjectName(QStringLiteral("qrCode"));
    codeImage->setAlignment(Qt::AlignCenter);
    addressText = newOverlayLabel(this, "qrAddress", 14, false);
    addressText->setTextInteractionFlags(Qt::NoTextInteraction);
    QLabel* caption = newOverlayLabel(this, "qrCaption", 24, false);
    caption->setText(
        QStringLiteral("Inquadra il codice con la fotocamera del telefono:\nla ricerca si apre sul tuo telefono."));
    auto* closeButton = new QPushButton(QStringLiteral("Chiudi"));
    closeButton->setObjectName(QStringLiteral("qrCloseButton"));
    closeButton->setMinimumHeight(48);
    connect(closeButton, SIGNAL(clicked()), this, SLOT(close()));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(12);
    layout->addWidget(caption);
    layout->addWidget(codeImage);
    layout->addWidget(addressText);
    layout->addWidget(closeButton);
}

void QrPanel::setAddress(const QUrl& address)
{
    code = QString::fromLatin1(address.toEncoded());
    const QImage image = qrCodeImage(code.toLatin1(), codeModuleSize);
    codeImage->setPixmap(QPixmap::fromImage(image));
    // Readable for the visitor: letters with accents as letters.
    addressText->setText(address.toDisplayString());
    setMaximumWidth(std::max(image.width() + 200, 600));
    adjustSize();
}

QrPanel* QrPanel::showAddress(QWidget* window, const QUrl& address)
{
    auto* panel = window->findChild<QrPanel*>(QString(), Qt::FindDirectChildrenOnly);
    if (!panel)
        panel = new QrPanel(window);
    panel->setAddress(address);
    const QRect over(window->mapToGlobal(QPoint(0, 0)), window->size());
    QRect placed = panel->frameGeometry();
    placed.moveCenter(over.center());
    panel->move(placed.topLeft());
    panel->show();
    panel->raise();
    return panel;
}
