#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <vector>

namespace velinor {

class DataSource;

struct GridColumn {
    QString field;
    QString heading; // empty: the field's name
};

// A table model over a data source: one row per record, one column per field
// in source order unless a fixed column list is given.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(DataSource* source, QObject* parent = nullptr);

    DataSource* source() const { return m_source; }
    void setColumns(std::vector<GridColumn> columns);
    // Forgets a fixed column list: every field of the source, in its order.
    void rebuildColumns();
    // A field the user never sees, left out when every field is shown.
    void hideField(const QString& name) { m_hidden << name; }
    void setEditable(bool editable) { m_editable = editable; }

    int fieldOf(int column) const { return m_shape.fields.at(static_cast<size_t>(column)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    // A write the source refused; the text says why.
    void failed(const QString& text);
    // The source was read again (or a row appended or dropped), whether
    // its columns stayed or the model was reset.
    void reloaded();

private:
    struct Shape {
        std::vector<int> fields;
        QStringList headings;
        bool operator==(const Shape&) const = default;
    };
    Shape resolved(const std::vector<GridColumn>& columns) const;
    void sourceAboutToReset();
    void sourceReset();

    DataSource* m_source;
    std::vector<GridColumn> m_columns; // empty: all fields
    Shape m_shape; // the columns as the views know them
    int m_rows = 0; // as the views know them, while the source is read again
    QStringList m_hidden;
    bool m_editable = false;
};

} // namespace velinor
