#include "common/logo.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace velinor {

QLabel* makeLogo(QWidget* parent, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 94, 140));
    p.drawRoundedRect(QRectF(2, 2, size - 4, size - 4), size / 6.0, size / 6.0);
    p.setBrush(QColor(245, 190, 60));
    p.drawEllipse(QRectF(size * 0.58, size * 0.14, size * 0.26, size * 0.26));
    QFont font(QStringLiteral("Verdana"));
    font.setBold(true);
    font.setPixelSize(size / 2);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, size * 0.12, size, size), Qt::AlignCenter, QStringLiteral("V"));
    p.end();

    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("Image1"));
    label->setPixmap(pixmap);
    label->setFixedSize(size, size);
    return label;
}

} // namespace velinor
