#pragma once

#include "data/copyowner.h"

#include <QString>
#include <QVariant>

namespace velinor {

class Connection;
class DataSource;
struct DocumentKind;

// This copy's share of the working tables: its lines in Odummy and its
// print selection in Ydummy, told apart from other copies' by the owner
// field (see copyowner.h). On a file without that field every copy shares
// the tables, as before. No widgets here.
class WorkingTables {
public:
    explicit WorkingTables(Connection& connection) : m_connection(connection) {}

    // Reads this copy's working lines into lines, source being the screen's
    // text for them ("SELECT * FROM Odummy"); the lines appended there are
    // this copy's.
    void showLines(DataSource& lines, const QString& source);
    // Empties this copy's working lines, with one statement.
    void clearLines();
    // Gives this copy's working lines the document's number, whatever they
    // held, copies them into DettaglioFatture field by field name, and
    // empties them. A step of the caller's transaction.
    void saveLines(const DocumentKind& kind, const QVariant& number);
    // Makes a saved document this copy's print selection.
    void select(const DocumentKind& kind, const QString& key, const QString& customer,
                int listRows);

private:
    void clearLines(const copyowner::Condition& own);

    Connection& m_connection;
};

} // namespace velinor
