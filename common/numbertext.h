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
// The one reading of a typed date, wherever dates are read. Accepts the
// short forms a user types, in the locale's order of day, month and year:
// under it_IT 1/12/26, 01/12/2026, 1-12-2026, 1.12.2026; the locale's own
// formats (month names included); and ISO dates (2026-12-01). A two-digit
// year is in 2000-2099, unless that puts the date more than a year after
// `today`, when it is in 1900-1999.
std::optional<QDate> parseDate(const QString& text, const QLocale& locale = QLocale(),
                               const QDate& today = QDate::currentDate());

// The expected form of a date in words the user reads: "gg/mm/aaaa" under
// an Italian locale, "mm/dd/yyyy" under en_US, in the locale's order.
QString dateFormatInWords(const QLocale& locale = QLocale());

} // namespace velinor
