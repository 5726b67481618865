#pragma once

#include "einvoice/invoicedata.h"

#include <QStringList>

#include <optional>

namespace velinor {
class Database;
}

// Where the electronic invoice finds its data. All of
// these throw DbError when the file cannot be read or written.
namespace velinor::einvoice {

// The company data and the customers' e-invoicing fields are missing from
// files made by older versions; this is what such a file lacks, for the
// message that asks for velinor-initdb --upgrade.
QStringList missingForExport(Database& db);
// The sentence telling the user how to upgrade the file.
QString upgradeAdvice(const QString& path, const QStringList& missing);

Company loadCompany(Database& db);

// The row of Pagamenti whose Descrizione is the text, if any.
std::optional<PaymentTerm> paymentTerm(Database& db, const QString& text);
// Every Descrizione of Pagamenti, in order.
QStringList paymentTermNames(Database& db);
void saveCompany(Database& db, const Company& company);

// nullopt when no invoice has that number.
std::optional<Invoice> loadInvoice(Database& db, int number);

// The invoice's customer: by its code, else by its name. Throws nothing
// for an unknown or ambiguous customer: `problem` says so instead.
struct CustomerMatch {
    std::optional<Customer> customer;
    QString problem;
};
CustomerMatch findCustomer(Database& db, const Invoice& invoice);

} // namespace velinor::einvoice
