#pragma once

#include "einvoice/fatturapa.h"

#include <QString>

#include <optional>

namespace velinor {
class Database;
}

namespace velinor::einvoice {

// One invoice read and checked, ready to be written. When `refusal` is
// set nothing may be written: it is the whole message for the user.
struct Prepared {
    Document doc;
    Figures figures;
    QString refusal;
    bool needsUpgrade = false;     // the file lacks the tables: no data to mend
    bool companyIncomplete = false; // the company's data need mending
};

// Throws DbError when the database cannot be read.
Prepared prepareExport(Database& db, int invoiceNumber);

// Takes the next file number and writes the file at `path`, together: a
// file not written whole leaves nothing behind and the number free.
// Throws DbError with the reason.
void writeExport(Database& db, const Prepared& prepared, int progressive, const QString& path);

} // namespace velinor::einvoice
