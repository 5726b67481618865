#pragma once

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace velinor {

// Paints a grid's cells as one line of plain text each, laying a text out
// only the first time it is seen: a repaint (a pick, a scroll, the focus
// coming and going) draws glyphs already placed. Editing is the styled
// delegate's own.
class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    const QStaticText& laidOut(const QString& text, const QFont& font) const;

    mutable QHash<QString, QStaticText> m_texts;
    mutable QFont m_font;
};

} // namespace velinor
