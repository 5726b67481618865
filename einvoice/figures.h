#pragma once

#include "einvoice/amount.h"
#include "einvoice/invoicedata.h"

#include <QList>
#include <QStringList>

#include <optional>

namespace velinor::einvoice {

// A line's numbers as the file writes them.
struct LineFigures {
    std::optional<Amount> quantity; // none for a line with an amount only
    Amount price;                   // PrezzoUnitario
    Amount total;                   // PrezzoTotale
    Amount rate;                    // AliquotaIVA, per cent
};

// One DatiRiepilogo: the lines of one VAT rate and Natura.
struct RateSummary {
    Amount rate;
    QString natura; // empty for a taxed rate
    Amount taxable; // sum of the lines' totals, rounded to cents
    Amount tax;     // taxable x rate / 100, rounded to cents
};

struct Figures {
    QList<LineFigures> lines;     // one for each invoice line, in order
    QList<RateSummary> summaries; // by ascending rate, then Natura
    Amount documentTotal;         // taxable plus tax over every rate
    Amount stampDutyBase;         // the amounts without VAT that bear the stamp duty
};

// The exemption codes of the FatturaPA tables the exchange system takes.
const QStringList& naturaCodes();
// The largest amount the file carries: 11 digits and the cents.
inline constexpr int amountDigits = 11;

// Reads the invoice's stored doubles into the file's numbers. Every line
// that the file cannot carry adds a sentence to `problems`.
Figures computeFigures(const Invoice& invoice, QStringList& problems);

} // namespace velinor::einvoice
