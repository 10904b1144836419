#include "countdownoverlay.h"

#include <QLabel>
#include <QVBoxLayout>

QLabel* newOverlayLabel(QWidget* parent, const char* name, int pixelSize, bool bold)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

QString countdownText(int seconds)
{
    const QString when = seconds == 1 ? QStringLiteral("Tra 1 secondo") : QStringLiteral("Tra %1 secondi").arg(seconds);
    return when + QStringLiteral(" la sala torna all'inizio.\nTocca lo schermo per continuare la visita.");
}

CountdownOverlay::CountdownOverlay(QWidget* over)
    : QFrame(over, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      over(over)
{
    setObjectName(QStringLiteral("countdownOverlay"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAutoFillBackground(true);
    QPalette dark = palette();
    dark.setColor(QPalette::Window, QColor(20, 30, 40));
    dark.setColor(QPalette::WindowText, Qt::white);
    setPalette(dark);

    auto* title = newOverlayLabel(this, "countdownTitle", 40, true);
    title->setText(QStringLiteral("Ci sei ancora?"));
    number = newOverlayLabel(this, "countdownNumber", 140, true);
    number->setStyleSheet(QStringLiteral("color: rgb(0, 170, 220)"));
    text = newOverlayLabel(this, "countdownText", 30, false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(48, 32, 48, 32);
    layout->addWidget(title);
    layout->addWidget(number);
    layout->addWidget(text);
    setFixedWidth(720);
}

void CountdownOverlay::showSeconds(int seconds)
{
    shownSeconds = seconds;
    number->setText(QString::number(seconds));
    text->setText(countdownText(seconds));
    if (isVisible())
        return;
    adjustSize();
    QRect placed = frameGeometry();
    placed.moveCenter(QRect(over->mapToGlobal(QPoint(0, 0)), over->size()).center());
    move(placed.topLeft());
    show();
}
