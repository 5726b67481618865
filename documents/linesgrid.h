#pragma once

#include "data/datagrid.h"

namespace velinor {

// The lines grid of a document: a cell is edited as a user does it (made
// current, its editor opened by typing, F2 or a double click, Enter
// commits) while the screen allows it.
class LinesGrid : public DataGrid {
    Q_OBJECT
public:
    explicit LinesGrid(DataSource* source, QWidget* parent = nullptr);

    void setEditable(bool editable);
    bool isEditable() const { return m_editable; }
    // Commits and closes an editor still open, so that a value just typed
    // reaches the line before another control acts on the lines.
    void endEdit();

signals:
    // The user committed an edit of a cell of the current line.
    void lineEdited();

protected:
    void commitData(QWidget* editor) override;

private:
    bool m_editable = false;
    bool m_refused = false;
};

} // namespace velinor
