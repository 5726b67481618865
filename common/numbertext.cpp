#include "common/numbertext.h"

#include <cmath>

namespace velinor {

namespace {

QLocale ungrouped(QLocale locale)
{
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

bool spaceLike(QChar c) { return c.isSpace() || c == QChar(0x202F); }

// The text without its digit grouping, when the grouping is well formed for
// the locale (or absent); nullopt otherwise. A locale that groups with a
// space takes any kind of space, since that is what a keyboard types.
std::optional<QString> ungroup(const QString& text, const QLocale& locale)
{
    const QString group = locale.groupSeparator();
    if (group.isEmpty())
        return text;
    const bool spaces = group.size() == 1 && spaceLike(group.at(0));
    auto isGroup = [&](qsizetype i) {
        return spaces ? spaceLike(text.at(i)) : QStringView(text).mid(i).startsWith(group);
    };
    qsizetype i = 0;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-'
                            || QStringView(text).startsWith(locale.negativeSign())))
        i += text.at(i) == u'+' || text.at(i) == u'-' ? 1 : locale.negativeSign().size();
    const qsizetype start = i;
    QString out = text.left(start);
    int digits = 0; // in the current group
    int groups = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c >= u'0' && c <= u'9') {
            out += c;
            ++digits;
        } else if (isGroup(i)) {
            if (digits == 0 || digits > 3 || (groups > 0 && digits != 3))
                return std::nullopt;
            ++groups;
            digits = 0;
            i += spaces ? 0 : group.size() - 1;
        } else {
            break;
        }
    }
    if (groups == 0)
        return text;
    if (digits != 3)
        return std::nullopt;
    const QString rest = text.mid(i);
    for (qsizetype k = 0; k < rest.size(); ++k)
        if (spaces ? spaceLike(rest.at(k)) : QStringView(rest).mid(k).startsWith(group))
            return std::nullopt;
    return out + rest;
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

QString formatMoney(double value, const QLocale& locale)
{
    QString text = formatNumber(value, locale);
    if (text.contains(locale.exponential(), Qt::CaseInsensitive))
        return text;
    const QString point = locale.decimalPoint();
    const qsizetype at = text.indexOf(point);
    const qsizetype decimals = at < 0 ? 0 : text.size() - at - point.size();
    if (at < 0)
        text += point;
    for (qsizetype d = decimals; d < 2; ++d)
        text += locale.zeroDigit();
    return text;
}

std::optional<double> parseNumber(const QString& text, const QLocale& locale)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    const auto t = ungroup(trimmed, locale);
    if (!t)
        return std::nullopt;
    bool ok = false;
    const double value = ungrouped(locale).toDouble(*t, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double leadingNumber(const QString& text, const QLocale& locale)
{
    if (const auto whole = parseNumber(text, locale))
        return *whole;
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
