#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>

namespace velinor::einvoice {

// The file's texts are Latin-1 only. Typographic quotes, dashes, the euro
// sign and control characters typed or pasted into a box are replaced by
// their plain equivalents; other characters are left for latinProblem().
QString latinText(const QString& text);

// Empty when `text` (after latinText) fits a field of at most `maxLength`
// characters; else a sentence naming `what`. basicOnly: ASCII only.
QString latinProblem(const QString& text, const QString& what, int maxLength,
                     bool basicOnly = false);

// A stored date: ISO as the date fields keep it, or as typed (the DDT date
// is a text field): in the Italian forms first, then in the user's locale.
std::optional<QDate> readDate(const QVariant& value);

} // namespace velinor::einvoice
