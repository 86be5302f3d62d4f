#include "TextFit.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>

#include <cmath>

namespace TextFit
{

namespace
{

// QLineEdit keeps this many pixels free on each side of its text, inside the style's contents rect,
constexpr int LineEditInnerMargin = 2;
// and scrolls once the text and the caret after it are wider than what is left.
constexpr int CaretWidth = 1;
constexpr qreal SizeStep = 0.25;
constexpr qreal SmallestSize = 4;

QRect lineEditContents(const QLineEdit *edit)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth =
        edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    option.state |= QStyle::State_Sunken;
    const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    return contents.marginsRemoved(edit->textMargins());
}

int buttonContentsWidth(const QPushButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    if (button->autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    if (button->isDefault())
        option.features |= QStyleOptionButton::DefaultButton;
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
}

bool isEditable(const QLineEdit *edit)
{
    return edit && !edit->isReadOnly();
}

} // namespace

int TextRoom(const QWidget *control)
{
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->contentsRect().width() - 2 * label->margin();
    if (const auto *button = qobject_cast<const QPushButton *>(control))
        return buttonContentsWidth(button);
    if (const auto *edit = qobject_cast<const QLineEdit *>(control)) {
        // A read-only text stays scrolled to its start and may run to the far edge of the contents.
        const int margins = edit->isReadOnly() ? LineEditInnerMargin : 2 * LineEditInnerMargin;
        return lineEditContents(edit).width() - margins;
    }
    return -1;
}

int TextNeed(const QWidget *control, const QFont &font, const QString &text)
{
    const int width = int(std::ceil(QFontMetricsF(font).horizontalAdvance(text)));
    return isEditable(qobject_cast<const QLineEdit *>(control)) ? width + CaretWidth : width;
}

QFont FittedFont(const QWidget *control, const QFont &laidOut, const QString &text)
{
    const int room = TextRoom(control);
    QFont font = laidOut;
    while (TextNeed(control, font, text) > room && font.pointSizeF() - SizeStep >= SmallestSize)
        font.setPointSizeF(font.pointSizeF() - SizeStep);
    return font;
}

void FitTexts(QWidget *parent)
{
    for (QWidget *control : parent->findChildren<QWidget *>()) {
        const QFont laidOut = control->font();
        const auto fit = [control, laidOut](const QString &text) {
            const QFont font = FittedFont(control, laidOut, text);
            if (font != control->font())
                control->setFont(font);
        };
        if (auto *edit = qobject_cast<QLineEdit *>(control); isEditable(edit)) {
            QObject::connect(edit, &QLineEdit::textChanged, edit, fit);
            fit(edit->text());
        } else if (TextRoom(control) >= 0) {
            fit(control->property("text").toString());
        }
    }
}

} // namespace TextFit
