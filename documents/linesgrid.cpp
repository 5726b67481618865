#include "documents/linesgrid.h"

#include "data/copyowner.h"
#include "data/datasource.h"

#include <QLineEdit>

namespace velinor {

LinesGrid::LinesGrid(DataSource* source, QWidget* parent) : DataGrid(source, parent)
{
    connect(this, &DataGrid::failed, this, [this] { m_refused = true; });
    gridModel()->hideField(copyowner::field());
}

void LinesGrid::setEditable(bool editable)
{
    if (!editable)
        endEdit();
    m_editable = editable;
    gridModel()->setEditable(editable);
    setEditTriggers(editable ? QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed
                                   | QAbstractItemView::DoubleClicked
                             : QAbstractItemView::NoEditTriggers);
}

void LinesGrid::endEdit()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    // Closed editors linger hidden until deleted; the open one is shown.
    for (QLineEdit* editor : viewport()->findChildren<QLineEdit*>()) {
        if (editor->isHidden())
            continue;
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
        return;
    }
}

void LinesGrid::commitData(QWidget* editor)
{
    m_refused = false;
    DataGrid::commitData(editor);
    // A refused write (failed() told why) leaves nothing to recompute.
    if (!m_refused && source()->hasCurrent())
        emit lineEdited();
}

} // namespace velinor
