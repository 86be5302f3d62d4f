#include "ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>

QPixmap ProgramIconPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    // The unit's case.
    p.setPen(QPen(QColor(20, 40, 90), 1.2));
    p.setBrush(QColor(40, 90, 170));
    p.drawRoundedRect(QRectF(2.5, 8.5, 27, 16), 3, 3);

    // Network socket.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 235, 240));
    QPainterPath socket;
    socket.addRect(QRectF(17, 12, 9, 7));
    socket.addRect(QRectF(19.5, 19, 4, 2));
    p.drawPath(socket.simplified());

    // Status lights.
    p.setBrush(QColor(80, 220, 90));
    p.drawEllipse(QRectF(6, 13, 3.5, 3.5));
    p.setBrush(QColor(250, 190, 40));
    p.drawEllipse(QRectF(11, 13, 3.5, 3.5));

    // The cable.
    p.setPen(QPen(QColor(250, 190, 40), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(21.5, 21), QPointF(21.5, 30));
    return pixmap;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(ProgramIconPixmap(size));
    return icon;
}
