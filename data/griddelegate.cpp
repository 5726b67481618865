#include "data/griddelegate.h"

#include <QApplication>
#include <QPainter>

namespace velinor {

namespace {

// Enough for every distinct text of a few screens of rows; past it the
// cache starts again rather than grow with all a long list ever showed.
constexpr qsizetype mostTexts = 4096;

} // namespace

const QStaticText& GridDelegate::laidOut(const QString& text, const QFont& font) const
{
    if (font != m_font) {
        m_texts.clear();
        m_font = font;
    }
    auto it = m_texts.constFind(text);
    if (it != m_texts.cend())
        return *it;
    if (m_texts.size() >= mostTexts)
        m_texts.clear();
    QString line = text;
    line.replace(u'\n', u' ');
    QStaticText st(line);
    st.setTextFormat(Qt::PlainText); // a name holding "<b>" shows it as typed
    st.prepare(QTransform(), font);
    return *m_texts.insert(text, st);
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = opt.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const bool selected = opt.state & QStyle::State_Selected;
    // The view has drawn the row's own background already.
    if (selected || opt.backgroundBrush.style() != Qt::NoBrush)
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    const bool enabled = opt.state & QStyle::State_Enabled;
    const QPalette::ColorGroup group =
        !enabled ? QPalette::Disabled
                 : (opt.state & QStyle::State_Active ? QPalette::Normal : QPalette::Inactive);
    if (!opt.text.isEmpty()) {
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect box = opt.rect.adjusted(margin, 0, -margin, 0);
        // The view sets its own pen for the grid lines; nothing else draws
        // between cells, so the pen and font are set without saving.
        painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        if (painter->font() != opt.font)
            painter->setFont(opt.font);
        const QStaticText& st = laidOut(opt.text, opt.font);
        const QSizeF size = st.size();
        if (size.width() > box.width()) {
            // Too wide for its column: cut short as the styled delegate does.
            const QString elided = opt.fontMetrics.elidedText(st.text(), opt.textElideMode, box.width());
            painter->drawText(box, int(opt.displayAlignment) | Qt::TextSingleLine, elided);
        } else {
            const QRect at = QStyle::alignedRect(opt.direction, opt.displayAlignment,
                                                 size.toSize(), box);
            painter->drawStaticText(at.topLeft(), st);
        }
    }
    if (opt.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(opt);
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor = opt.palette.color(enabled ? QPalette::Normal : QPalette::Disabled,
                                                  selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
}

} // namespace velinor
