#pragma once

#include <QString>

#include <optional>

namespace velinor {

class DataSource;

namespace documents {

// The three header totals of a document's lines, as its boxes show and
// store them: euros with two decimals in the user's locale.
struct HeaderTotals {
    QString taxable;
    QString tax;
    QString total;
};

// "valorizza" and saving: the totals by VAT rate of the lines' taxable
// amounts and rates, read from their cell texts as the grid shows them. A
// line whose taxable amount or rate is empty or no number counts as nothing.
HeaderTotals headerTotals(const DataSource& lines, int taxableField, int rateField);

// The first line (counting from 0) whose amounts take the running totals
// past what they hold; nullopt when every total holds.
std::optional<int> lineBeyondTotals(const DataSource& lines, int taxableField, int rateField);

// A stored total as a box shows it: "57,20", and an older document's
// "253,3239" as it is. Text that is no number stays as it is.
QString totalText(const QString& stored);

} // namespace documents
} // namespace velinor
