#pragma once

#include <QFont>
#include <QString>

class QWidget;

// Whether a control's text fits the place the layout gives it, and the font that makes it fit. The
// layout was made for narrow fonts; where the platform has none, a text is drawn smaller rather than cut.
namespace TextFit
{

// Width in pixels in which the control shows its text whole: a label's contents, a button's contents
// inside its frame, a text field's text area (an editable one without scrolling). -1 for other widgets.
int TextRoom(const QWidget *control);

// Width the text needs in font where the control draws it (an editable field adds its caret).
int TextNeed(const QWidget *control, const QFont &font, const QString &text);

// laidOut, or the largest smaller size in quarter points at which text fits the control.
QFont FittedFont(const QWidget *control, const QFont &laidOut, const QString &text);

// Fits every label, button and text field below parent: captions and read-only texts once, an editable
// field's text each time it changes, each from the font the control has now.
void FitTexts(QWidget *parent);

} // namespace TextFit
