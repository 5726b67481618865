#include "masterdata/checkmark.h"

#include <QLineEdit>
#include <QPainter>
#include <QPixmap>

namespace velinor {

namespace {

// A red disc with a white exclamation mark, as tall as a line of text.
QPixmap markPixmap(int size, qreal ratio)
{
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 30, 30));
    p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
    QFont font;
    font.setBold(true);
    font.setPixelSize(size * 3 / 4);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, QStringLiteral("!"));
    return pixmap;
}

} // namespace

CheckMark::CheckMark(QLineEdit* box, ValueCheck check, QWidget* parent)
    : QLabel(parent), m_box(box), m_check(std::move(check))
{
    setObjectName(box->objectName() + QStringLiteral("Mark"));
    const int size = box->fontMetrics().height() + 2;
    setPixmap(markPixmap(size, devicePixelRatioF()));
    setFixedSize(size, size);
    QSizePolicy policy = sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    setSizePolicy(policy);
    connect(box, &QLineEdit::textChanged, this, &CheckMark::recheck);
    recheck();
}

void CheckMark::recheck()
{
    m_problem = m_check(m_box->text());
    setToolTip(m_problem);
    setAccessibleName(m_problem);
    setVisible(!m_problem.isEmpty());
}

} // namespace velinor
