#include "data/gridmodel.h"

#include "data/datasource.h"

namespace velinor {

GridModel::GridModel(DataSource* source, QObject* parent)
    : QAbstractTableModel(parent), m_source(source)
{
    m_shape = resolved(m_columns);
    m_rows = source->recordCount();
    connect(source, &DataSource::aboutToReset, this, &GridModel::sourceAboutToReset);
    connect(source, &DataSource::didReset, this, &GridModel::sourceReset);
    connect(source, &DataSource::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount() && columnCount() > 0)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

GridModel::Shape GridModel::resolved(const std::vector<GridColumn>& columns) const
{
    Shape shape;
    // No fields after a failed read: no columns, until the source is read again.
    if (m_source->fieldCount() == 0)
        return shape;
    if (columns.empty()) {
        for (int f = 0; f < m_source->fieldCount(); ++f) {
            if (m_hidden.contains(m_source->field(f).name, Qt::CaseInsensitive))
                continue;
            shape.fields.push_back(f);
            shape.headings << m_source->field(f).name;
        }
        return shape;
    }
    for (const GridColumn& c : columns) {
        shape.fields.push_back(m_source->requireField(c.field));
        shape.headings << (c.heading.isEmpty() ? c.field : c.heading);
    }
    return shape;
}

// A source read again under the same columns only has its rows go and come:
// the views keep their columns, widths and headings, and redraw no more than
// the rows. Other columns reset the model.
void GridModel::sourceAboutToReset()
{
    if (m_rows == 0)
        return;
    beginRemoveRows({}, 0, m_rows - 1);
    m_rows = 0;
    endRemoveRows();
}

void GridModel::sourceReset()
{
    Shape shape = resolved(m_columns);
    const int rows = m_source->recordCount();
    if (shape == m_shape) {
        if (rows > 0) {
            beginInsertRows({}, 0, rows - 1);
            m_rows = rows;
            endInsertRows();
        }
    } else {
        beginResetModel();
        m_shape = std::move(shape);
        m_rows = rows;
        endResetModel();
    }
    emit reloaded();
}

void GridModel::setColumns(std::vector<GridColumn> columns)
{
    // A heading is what the user calls the field, unless a box names it.
    for (const GridColumn& c : columns)
        if (!c.heading.isEmpty() && !m_source->hasCaption(c.field))
            m_source->setCaption(c.field, c.heading);
    Shape shape = resolved(columns);
    m_columns = std::move(columns);
    if (shape == m_shape)
        return;
    beginResetModel();
    m_shape = std::move(shape);
    endResetModel();
    emit reloaded();
}

void GridModel::rebuildColumns() { setColumns({}); }

int GridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_shape.fields.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return m_source->text(index.row(), fieldOf(index.column()));
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return m_shape.headings.value(section);
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (m_editable && index.isValid())
        f |= Qt::ItemIsEditable;
    return f;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    try {
        m_source->setCurrentRow(index.row());
        m_source->setValue(fieldOf(index.column()), value.toString());
    } catch (const DbError& e) {
        emit failed(e.text());
        return false;
    }
    return true;
}

} // namespace velinor
