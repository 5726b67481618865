#pragma once

#include "einvoice/amount.h"

#include <QList>
#include <QLocale>
#include <QString>

namespace velinor::einvoice {

// The totals of a document the way the electronic invoice states them, the
// one rule that the document screens, the printed documents and the file
// all follow: the lines are grouped by VAT rate; per rate the taxable amount
// is the sum of the lines' taxable amounts rounded half up to the cent, and
// the tax is that amount x rate / 100 rounded half up to the cent.

// One line: its taxable amount (Imponibile, unrounded) and VAT rate in per
// cent; at 0% the Natura that says why, which groups the lines apart.
struct TaxedLine {
    Amount taxable;
    Amount rate;
    QString natura;
};

struct RateTotal {
    Amount rate;
    QString natura; // empty for a taxed rate
    Amount taxable; // cents
    Amount tax;     // cents
};

struct VatTotals {
    QList<RateTotal> rates; // by ascending rate, then Natura
    Amount taxable;         // the rates' taxable amounts added
    Amount tax;             // the rates' taxes added
    Amount total;           // taxable + tax
};

// A line from the doubles a cell or the file holds; nullopt when either is
// beyond what an amount carries (NaN, infinite, 100 billion or more).
std::optional<TaxedLine> taxedLine(double taxable, double rate);

VatTotals vatTotals(const QList<TaxedLine>& lines);

// An amount with exactly two decimals in the locale, without digit
// grouping: "57,20" in Italy.
QString moneyText(const Amount& amount, const QLocale& locale = QLocale());

} // namespace velinor::einvoice
