#pragma once

#include "data/gridmodel.h"

#include <QTableView>

namespace velinor {

class DataSource;

// A record list bound to a data source. Selecting a row makes it the
// source's current row; when the source refuses (its pending changes could
// not be written) the selection goes back and failed() tells why. Tab and
// Shift+Tab leave the grid for the next and previous control, as they do
// from an open cell editor; the arrow keys move between rows.
class DataGrid : public QTableView {
    Q_OBJECT
public:
    DataGrid(DataSource* source, QWidget* parent = nullptr);

    DataSource* source() const { return m_source; }
    GridModel* gridModel() const { return m_model; }
    void setColumns(std::vector<GridColumn> columns) { m_model->setColumns(std::move(columns)); }
    void rebuildColumns() { m_model->rebuildColumns(); }

    // Text of a column of the current row, by position; empty without one.
    QString cellText(int column) const;
    void setCellText(int column, const QString& text);

    // Repaints from the source.
    void refresh();

    // A pick list: no row is highlighted until the user picks one, so that
    // nothing looks chosen that is not; disabling the list forgets the pick.
    void setHighlightOnlyPicked(bool on);
    // A list whose newest rows are its last: each time it is read or shown
    // it scrolls to its end, until the user scrolls or picks a row.
    void setScrolledToEnd(bool on);

protected:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void updateGeometries() override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

signals:
    // The user made another row current.
    void rowSelected(int row);
    void failed(const QString& text);

private:
    void showCurrent();
    void selected(const QModelIndex& current);

    void picked();
    void updateCurrentRow();

    DataSource* m_source;
    GridModel* m_model;
    bool m_syncing = false;
    bool m_highlightOnlyPicked = false;
    bool m_picked = false;
    bool m_scrolledToEnd = false;
    bool m_keepAtEnd = false;
    bool m_fromView = false; // the user moved, by mouse or key
};

} // namespace velinor
