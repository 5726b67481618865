#pragma once

#include <QString>
#include <QVariantList>

namespace velinor {

class Database;

// Which copy of the program this is. Several copies may work on one file
// (the icon clicked twice, desks sharing a folder or a server): the working
// tables Odummy and Ydummy keep each copy's rows apart by an owner field.
// The owner is the user, the desk and a slot: the first slot free for that
// user at that desk, held by a lock file for as long as the copy runs. A
// copy that was killed frees its slot, so the next start of the same user
// at the same desk takes it again and finds the lines it left.
namespace copyowner {

// The owner field of the working tables.
QString field();

// Takes the first free slot of this user at this desk for the database at
// path. At login; a later claim for another user lets the first one go.
void claim(const QString& user, const QString& databasePath);
// The owner text of this copy: "user@desk#slot". When no login claimed one,
// the slot is claimed for the account the program runs under.
QString text();
// Lets the slot go (a copy ending; tests).
void release();

// Whether a table of the file has the owner field. A file made before the
// field was added has one shared working table, as it always had.
bool hasField(Database& db, const QString& table);

// The condition that picks this copy's rows of table, with its value:
// <qualifier>"Owner" = ? and the owner text, or "1 = 1" (every row) when
// the table has no owner field.
struct Condition {
    QString sql;
    QVariantList params;
};
Condition rowsOf(Database& db, const QString& table, const QString& qualifier = {});

} // namespace copyowner
} // namespace velinor
