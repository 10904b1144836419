// Whether a panel widget shows its text whole, as the style lays it out.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

// Every line of the label inside the style's contents rectangle of the button.
inline bool labelWhole(const QPushButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    const QSize text = button->fontMetrics().size(0, button->text());
    return text.width() <= contents.width() && text.height() <= contents.height();
}

inline bool labelWhole(const QLabel* label)
{
    return label->fontMetrics().size(0, label->text()).width() <= label->contentsRect().width();
}
