#pragma once

// The seller as the printouts show it: the one row of Azienda.

#include "einvoice/invoicedata.h"

#include <QStringList>

namespace velinor {
class Database;
}

namespace velinor::reports {

// Empty on a file made before the table was: nothing to print then.
// Throws DbError when the file cannot be read.
einvoice::Company printedSeller(Database& db);

// Street and number, then CAP, town and province: "Viale Monza 212",
// "20127 Milano (MI)"; the parts the company lacks are left out.
QStringList sellerAddress(const einvoice::Company& company);

} // namespace velinor::reports
