#pragma once

#include "einvoice/figures.h"
#include "einvoice/invoicedata.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

namespace velinor::einvoice {

// Everything one FatturaPA file is written from.
struct Document {
    Company company;
    Customer customer;
    Invoice invoice;
};

// What keeps a document from being sent, in sentences a user can act on,
// grouped by whose data must be mended.
struct Problems {
    QStringList company;
    QStringList customer;
    QStringList invoice;

    bool isEmpty() const { return company.isEmpty() && customer.isEmpty() && invoice.isEmpty(); }
    // One text listing them all, headed by the invoice number.
    QString message(int invoiceNumber) const;
};

// A customer outside Italy: the exchange system forwards nothing to it
// (Codice Destinatario XXXXXXX), takes its own VAT number as it is and no
// Italian CAP.
bool isForeign(const Customer& customer);

// San Marino: the exchange system forwards to the republic's office.
bool isSanMarino(const Customer& customer);
// The code CodiceDestinatario carries: XXXXXXX abroad, 2R4GTO8 for San
// Marino, 0000000 when the customer has none.
QString destinationCode(const Customer& customer);
// Whether PECDestinatario goes with it.
bool sendsToPec(const Customer& customer);
// What the user must do beyond sending the file (a paper copy for a
// customer the system does not deliver to); empty when nothing.
QString deliveryNotice(const Customer& customer);
// A VAT number typed with its country's prefix ("FR403...") loses it.
Customer withoutCountryPrefix(Customer customer);

// Empty for no Natura or a code of the FatturaPA tables; else a sentence.
QString naturaProblem(const QString& natura);

// TD01, TD04 (credit note) or TD24 (deferred: its delivery notes are dated
// before it).
QString documentType(const Invoice& invoice);
// The due date of a payment term from the invoice date.
QDate dueDate(const QDate& invoiceDate, const PaymentTerm& term);
// The stamp duty is due on more than 77.47 euros without VAT.
bool stampDutyDue(const Company& company, const Figures& figures);
// The code both the file name and IdTrasmittente carry.
QString transmitterCode(const Company& company);

QStringList companyProblems(const Company& company);
QStringList customerProblems(const Customer& customer);
// The header's and the lines' problems; the lines' figures go to `figures`.
QStringList invoiceProblems(const Invoice& invoice, Figures& figures);
Problems checkDocument(const Document& doc, Figures& figures);

// The file counter as five characters: 00001 to 99999.
QString progressiveText(int progressive);
// The name the exchange system expects: IT01234567890_00001.xml.
QString fileName(const Company& company, int progressive);

// The FatturaPA 1.2 file of an ordinary invoice (FPR12), UTF-8. Call only
// for a document without problems.
QByteArray writeFatturaPA(const Document& doc, const Figures& figures, const QString& progressive);

} // namespace velinor::einvoice
