#include "common/numbertext.h"

#include <cmath>

namespace velinor {

namespace {

QLocale ungrouped(QLocale locale)
{
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

double scanLeading(const QString& text, QChar decimal)
{
    QString number;
    bool digits = false, point = false, exponent = false;
    for (QChar c : text) {
        if (c.isSpace())
            continue;
        if (c.isDigit() && c.unicode() < 128) {
            number += c;
            digits = true;
        } else if ((c == u'+' || c == u'-') && (number.isEmpty() || number.endsWith(u'e'))) {
            number += c;
        } else if (c == decimal && !point && !exponent) {
            number += u'.';
            point = true;
        } else if ((c == u'e' || c == u'E' || c == u'd' || c == u'D') && digits && !exponent) {
            number += u'e';
            exponent = true;
        } else {
            break;
        }
    }
    // Drop a dangling exponent or sign: "12e" reads as 12.
    while (!number.isEmpty() && !number.back().isDigit() && number.back() != u'.')
        number.chop(1);
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

} // namespace

QString formatNumber(double value, const QLocale& locale)
{
    if (value == 0.0)
        value = 0.0; // no "-0"
    return ungrouped(locale).toString(value, 'g', 15);
}

std::optional<double> parseNumber(const QString& text, const QLocale& locale)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = ungrouped(locale).toDouble(t, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double leadingNumber(const QString& text, const QLocale& locale)
{
    return scanLeading(text, locale.decimalPoint().at(0));
}

double leadingNumberC(const QString& text) { return scanLeading(text, u'.'); }

QString dateFormat(const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString formatDate(const QDate& date, const QLocale& locale)
{
    return date.isValid() ? locale.toString(date, dateFormat(locale)) : QString();
}

std::optional<QDate> parseDate(const QString& text, const QLocale& locale)
{
    const QString t = text.trimmed();
    QDate date = locale.toDate(t, dateFormat(locale));
    if (!date.isValid()) {
        date = locale.toDate(t, locale.dateFormat(QLocale::ShortFormat));
        // Qt reads a two-digit year as 19yy; users mean the 1930-2029 window.
        if (date.isValid() && date.year() < 1930)
            date = date.addYears(100);
    }
    if (!date.isValid())
        date = QDate::fromString(t, Qt::ISODate);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

} // namespace velinor
