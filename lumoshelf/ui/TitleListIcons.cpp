#include "ui/TitleListIcons.h"

#include <QPainter>
#include <QPixmap>

namespace {

constexpr int kSize = 16;

QIcon drawReader() {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 40, 40), 1));
    painter.setBrush(QColor(90, 90, 100));
    painter.drawRoundedRect(QRectF(3.5, 0.5, 9, 15), 2, 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(225, 232, 210));
    painter.drawRect(QRectF(5, 2, 6, 9));
    painter.setBrush(QColor(200, 200, 200));
    painter.drawEllipse(QRectF(7, 12, 2, 2));
    return QIcon(pixmap);
}

QIcon drawNote() {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(150, 120, 20), 1));
    painter.setBrush(QColor(255, 226, 110));
    painter.drawRect(QRectF(1.5, 1.5, 12, 13));
    painter.setPen(QPen(QColor(120, 90, 10), 1));
    for (int y = 5; y <= 11; y += 3) painter.drawLine(QPointF(4, y), QPointF(11, y));
    return QIcon(pixmap);
}

}  // namespace

const QIcon& onReaderIcon() {
    static const QIcon icon = drawReader();
    return icon;
}

const QIcon& markupsIcon() {
    static const QIcon icon = drawNote();
    return icon;
}
