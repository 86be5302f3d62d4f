#pragma once

#include <QFont>
#include <QStringList>

// The fonts the window was laid out for: the platform's sans-serif in place of "MS Sans Serif".
namespace WindowFonts
{

QFont Text();         // 9.75 pt: captions, fields, row buttons, the log window
QFont SlotCaption();  // 9.75 pt bold: "SLOT n"
QFont Title();        // 18 pt bold: pane titles and the log title
QFont BottomButton(); // 13.5 pt
QFont Dash();         // 12 pt: the "-" between the MAC fields

} // namespace WindowFonts
