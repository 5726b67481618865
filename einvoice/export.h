#pragma once

#include "einvoice/fatturapa.h"
#include "einvoice/sendlog.h"

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
    QString notice;                // what the user must do beyond sending it
    std::optional<Sending> earlier; // a file of this invoice that still stands
};

// Throws DbError when the database cannot be read.
Prepared prepareExport(Database& db, int invoiceNumber);

// The question before a second file of the same invoice.
QString exportAgainQuestion(const Prepared& prepared);

// Takes the next file number, writes the file at `path` and logs it in
// InviiPA, together: a file not written whole leaves nothing behind and the
// number free. A file already lying at `path` is never overwritten: its
// number is taken and the export refused.
// Throws DbError with the reason.
void writeExport(Database& db, const Prepared& prepared, int progressive, const QString& path);

} // namespace velinor::einvoice
