#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

#include <optional>

namespace velinor {

// Numbers travel between boxes, grid cells and the database as text in the
// user's locale: up to 15 significant digits, no digit grouping.
QString formatNumber(double value, const QLocale& locale = QLocale());

// Money as documents show it: the general format with at least two decimals,
// more only when the value has them ("10,50", "0,045").
QString formatMoney(double value, const QLocale& locale = QLocale());

// Whole-text reading in the locale; nullopt when the text is not a number.
// Digit grouping is accepted only where it is well formed, groups of three
// digits in the whole part: under an Italian locale "1.234,56" and "1.234"
// are numbers, while "1.5" and "12.34" are errors rather than 15 and 1234.
std::optional<double> parseNumber(const QString& text, const QLocale& locale = QLocale());

// The leading number of a text, the way the stock reminders read a box:
// a whole number text as parseNumber reads it; otherwise spaces are ignored,
// reading stops at the first character that cannot continue a number, and a
// text with no leading number reads as 0.
double leadingNumber(const QString& text, const QLocale& locale = QLocale());

// The same reading with a decimal point, as the database's val() does.
double leadingNumberC(const QString& text);

// The locale's short date with a four-digit year.
QString dateFormat(const QLocale& locale = QLocale());
QString formatDate(const QDate& date, const QLocale& locale = QLocale());
// Accepts the locale's short date (two- or four-digit year) and ISO dates.
std::optional<QDate> parseDate(const QString& text, const QLocale& locale = QLocale());

} // namespace velinor
