#include "WindowFonts.h"

namespace WindowFonts
{

namespace
{

QFont sansSerif(qreal pointSize, bool bold = false)
{
    // The narrow sans-serif faces come first: the layout leaves room for MS Sans Serif's widths only.
    QFont font;
    font.setFamilies(QStringList{QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                                 QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                                 QStringLiteral("Helvetica"), QStringLiteral("Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace

QFont Text()
{
    return sansSerif(9.75);
}

QFont SlotCaption()
{
    return sansSerif(9.75, true);
}

QFont Title()
{
    return sansSerif(18, true);
}

QFont BottomButton()
{
    return sansSerif(13.5);
}

QFont Dash()
{
    return sansSerif(12);
}

} // namespace WindowFonts
