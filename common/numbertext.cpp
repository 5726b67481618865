#include "common/numbertext.h"

#include <QRegularExpression>

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

namespace {

// The order of day, month and year in the locale's short date: "dMy",
// "Mdy" or "yMd".
QString dateOrder(const QLocale& locale)
{
    QString order;
    for (QChar c : locale.dateFormat(QLocale::ShortFormat)) {
        const QChar field = c == u'd' || c == u'M' || c == u'y' ? c : QChar();
        if (!field.isNull() && !order.contains(field))
            order += field;
    }
    return order.size() == 3 ? order : QStringLiteral("dMy");
}

std::optional<QDate> numericDate(const QString& text, const QLocale& locale, const QDate& today)
{
    static const QRegularExpression parts(
        QStringLiteral("^(\\d{1,4})[/.\\-](\\d{1,2})[/.\\-](\\d{1,4})$"));
    const QRegularExpressionMatch m = parts.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QString order = dateOrder(locale);
    int day = 0, month = 0, year = 0;
    int yearDigits = 0;
    for (int i = 0; i < 3; ++i) {
        const QString digits = m.captured(i + 1);
        const int value = digits.toInt();
        switch (order.at(i).unicode()) {
        case 'd':
            if (digits.size() > 2)
                return std::nullopt;
            day = value;
            break;
        case 'M':
            if (digits.size() > 2)
                return std::nullopt;
            month = value;
            break;
        default:
            if (digits.size() != 2 && digits.size() != 4)
                return std::nullopt;
            year = value;
            yearDigits = static_cast<int>(digits.size());
        }
    }
    if (yearDigits == 2) {
        year += 2000;
        const QDate date(year, month, day);
        if (date.isValid() && date > today.addYears(1))
            year -= 100;
    }
    const QDate date(year, month, day);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

} // namespace

std::optional<QDate> parseDate(const QString& text, const QLocale& locale, const QDate& today)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    if (const auto typed = numericDate(t, locale, today))
        return typed;
    QDate date = QDate::fromString(t, Qt::ISODate);
    if (!date.isValid())
        date = locale.toDate(t, dateFormat(locale));
    if (!date.isValid())
        date = locale.toDate(t, QLocale::LongFormat);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString dateFormatInWords(const QLocale& locale)
{
    const bool italian = locale.language() == QLocale::Italian;
    QString words;
    for (QChar field : dateOrder(locale)) {
        if (!words.isEmpty())
            words += u'/';
        if (field == u'd')
            words += italian ? QStringLiteral("gg") : QStringLiteral("dd");
        else if (field == u'M')
            words += QStringLiteral("mm");
        else
            words += italian ? QStringLiteral("aaaa") : QStringLiteral("yyyy");
    }
    return words;
}

} // namespace velinor
