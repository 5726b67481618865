#include "data/datagrid.h"

#include "data/datasource.h"
#include "data/griddelegate.h"

#include <QHeaderView>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QScrollBar>

namespace velinor {

namespace {

// The row numbers down the side. Qt sizes a header by measuring up to 200
// of its sections each time rows come; the widest row number is the last.
class RowNumbers final : public QHeaderView {
public:
    explicit RowNumbers(QWidget* parent) : QHeaderView(Qt::Vertical, parent)
    {
        setSectionsClickable(true); // as the header a table makes itself
        setHighlightSections(true);
    }
    QSize sizeHint() const override
    {
        if (count() == 0)
            return QHeaderView::sizeHint();
        return sectionSizeFromContents(count() - 1).expandedTo(sectionSizeFromContents(0));
    }
};

} // namespace

DataGrid::DataGrid(DataSource* source, QWidget* parent)
    : QTableView(parent), m_source(source), m_model(new GridModel(source, this))
{
    setModel(m_model);
    setItemDelegate(new GridDelegate(this));
    setVerticalHeader(new RowNumbers(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setTabKeyNavigation(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { selected(current); });
    connect(source, &DataSource::currentChanged, this, &DataGrid::showCurrent);
    connect(m_model, &GridModel::reloaded, this, [this] {
        m_keepAtEnd = m_scrolledToEnd;
        showCurrent();
    });
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this] { m_keepAtEnd = false; });
    connect(m_model, &GridModel::failed, this, &DataGrid::failed);
    showCurrent();
}

void DataGrid::showCurrent()
{
    if (m_syncing)
        return;
    m_syncing = true;
    const int row = m_source->currentRow();
    if (row < 0 || (m_highlightOnlyPicked && !m_picked)) {
        selectionModel()->clear();
    } else {
        const int column = std::max(currentIndex().column(), 0);
        const QModelIndex index = m_model->index(row, std::min(column, m_model->columnCount() - 1));
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                     | QItemSelectionModel::Rows);
        // Not under a press: the view would slide beneath the mouse, and the
        // release would land on the next row (the view scrolls the row into
        // sight itself once the click is over).
        if (!m_fromView)
            scrollTo(index);
    }
    if (m_keepAtEnd)
        scrollToBottom();
    m_syncing = false;
}

void DataGrid::setHighlightOnlyPicked(bool on)
{
    m_highlightOnlyPicked = on;
    showCurrent();
}

void DataGrid::setScrolledToEnd(bool on)
{
    m_scrolledToEnd = m_keepAtEnd = on;
    if (on)
        setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

    if (on)
        scrollToBottom();
}

void DataGrid::picked()
{
    m_keepAtEnd = false;
    m_picked = true;
}

void DataGrid::updateGeometries()
{
    QTableView::updateGeometries();
    // The end of the list is a whole number of rows down, so that the top
    // row is whole under the header; what is left shows below the last row.
    QScrollBar* bar = verticalScrollBar();
    const int row = verticalHeader()->defaultSectionSize();
    if (m_scrolledToEnd && row > 0 && bar->maximum() % row != 0
        && verticalScrollMode() == QAbstractItemView::ScrollPerPixel)
        bar->setMaximum((bar->maximum() / row + 1) * row);
    if (m_keepAtEnd)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void DataGrid::showEvent(QShowEvent* event)
{
    QTableView::showEvent(event);
    if (m_keepAtEnd)
        scrollToBottom();
}

void DataGrid::mousePressEvent(QMouseEvent* event)
{
    picked();
    QTableView::mousePressEvent(event);
}

void DataGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled() && m_highlightOnlyPicked) {
        m_picked = false;
        showCurrent();
    }
}

// The focus changes how the current row looks and nothing else, but the
// item view repaints the whole list for it, headers and scroll bars
// included: its own handling is done here without that.
void DataGrid::focusInEvent(QFocusEvent* event)
{
    // Entered by the keyboard without a current row, the list starts on its
    // first, as the item view does.
    if (!currentIndex().isValid() && event->reason() != Qt::MouseFocusReason && model()->rowCount() > 0)
        selectionModel()->setCurrentIndex(moveCursor(MoveHome, Qt::NoModifier),
                                          QItemSelectionModel::NoUpdate);
    setAttribute(Qt::WA_InputMethodEnabled,
                 currentIndex().isValid() && (currentIndex().flags() & Qt::ItemIsEditable));
    updateCurrentRow();
}

void DataGrid::focusOutEvent(QFocusEvent*) { updateCurrentRow(); }

void DataGrid::updateCurrentRow()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    const QRect row = visualRect(current.siblingAtColumn(0))
                          .united(visualRect(current.siblingAtColumn(model()->columnCount() - 1)));
    viewport()->update(QRect(0, row.top(), viewport()->width(), row.height()));
}

void DataGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Tab && event->key() != Qt::Key_Backtab)
        picked();
    QTableView::keyPressEvent(event);
}

void DataGrid::selected(const QModelIndex& current)
{
    if (m_syncing || !current.isValid() || current.row() == m_source->currentRow())
        return;
    try {
        m_fromView = true;
        m_source->setCurrentRow(current.row());
        m_fromView = false;
    } catch (const DbError& e) {
        m_fromView = false;
        showCurrent();
        emit failed(e.text());
        return;
    }
    emit rowSelected(current.row());
}

void DataGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    const bool next = hint == QAbstractItemDelegate::EditNextItem;
    const bool previous = hint == QAbstractItemDelegate::EditPreviousItem;
    QTableView::closeEditor(editor, next || previous ? QAbstractItemDelegate::NoHint : hint);
    if (next || previous)
        focusNextPrevChild(next);
}

QString DataGrid::cellText(int column) const
{
    return m_source->hasCurrent() ? m_source->text(m_source->currentRow(), m_model->fieldOf(column))
                                  : QString();
}

void DataGrid::setCellText(int column, const QString& text)
{
    m_source->setValue(m_model->fieldOf(column), text);
}

void DataGrid::refresh() { viewport()->update(); }

} // namespace velinor
