#include "data/gridmodel.h"

#include "data/datasource.h"

namespace velinor {

GridModel::GridModel(DataSource* source, QObject* parent)
    : QAbstractTableModel(parent), m_source(source)
{
    resolve();
    connect(source, &DataSource::aboutToReset, this, &GridModel::beginResetModel);
    connect(source, &DataSource::didReset, this, [this] {
        resolve();
        endResetModel();
    });
    connect(source, &DataSource::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount() && columnCount() > 0)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

void GridModel::resolve()
{
    m_fields.clear();
    m_headings.clear();
    // No fields after a failed read: no columns, until the source is read again.
    if (m_source->fieldCount() == 0)
        return;
    if (m_columns.empty()) {
        for (int f = 0; f < m_source->fieldCount(); ++f) {
            if (m_hidden.contains(m_source->field(f).name, Qt::CaseInsensitive))
                continue;
            m_fields.push_back(f);
            m_headings << m_source->field(f).name;
        }
        return;
    }
    for (const GridColumn& c : m_columns) {
        m_fields.push_back(m_source->requireField(c.field));
        m_headings << (c.heading.isEmpty() ? c.field : c.heading);
    }
}

void GridModel::setColumns(std::vector<GridColumn> columns)
{
    beginResetModel();
    m_columns = std::move(columns);
    // A heading is what the user calls the field, unless a box names it.
    for (const GridColumn& c : m_columns)
        if (!c.heading.isEmpty() && !m_source->hasCaption(c.field))
            m_source->setCaption(c.field, c.heading);
    resolve();
    endResetModel();
}

void GridModel::rebuildColumns() { setColumns({}); }

int GridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_source->recordCount();
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_fields.size());
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
    return m_headings.value(section);
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
