#include "einvoice/text.h"

#include "common/numbertext.h"

namespace velinor::einvoice {

QString latinText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case 0x2018: case 0x2019: case 0x201A: case 0x2032:
            out += QLatin1Char('\'');
            break;
        case 0x201C: case 0x201D: case 0x201E: case 0x2033:
            out += QLatin1Char('"');
            break;
        case 0x2010: case 0x2011: case 0x2012: case 0x2013: case 0x2014: case 0x2212:
            out += QLatin1Char('-');
            break;
        case 0x2026:
            out += QStringLiteral("...");
            break;
        case 0x20AC:
            out += QStringLiteral("EUR");
            break;
        case 0x00A0: case 0x2007: case 0x202F:
            out += QLatin1Char(' ');
            break;
        default:
            // XML 1.0 cannot carry control characters but tab and line breaks.
            out += (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n'))
                       ? QLatin1Char(' ')
                       : c;
        }
    }
    return out.trimmed();
}

QString latinProblem(const QString& text, const QString& what, int maxLength, bool basicOnly)
{
    const QString t = latinText(text);
    QString foreign;
    for (QChar c : t)
        if (c.unicode() > (basicOnly ? 0x7E : 0xFF) && !foreign.contains(c))
            foreign += c;
    if (!foreign.isEmpty())
        return QStringLiteral("%1 holds characters the exchange system does not accept: %2")
            .arg(what, foreign);
    if (t.size() > maxLength)
        return QStringLiteral("%1 is %2 characters long; the file takes at most %3.")
            .arg(what)
            .arg(t.size())
            .arg(maxLength);
    return {};
}

std::optional<QDate> readDate(const QVariant& value)
{
    const QString text = value.toString().trimmed();
    const QDate iso = QDate::fromString(text.left(10), Qt::ISODate);
    if (iso.isValid())
        return iso;
    // The Italian way first, whatever the locale of the machine: under
    // en_US 01/12/2026 is still the first of December.
    for (const char* format : {"d/M/yyyy", "d.M.yyyy", "d-M-yyyy"}) {
        const QDate date = QDate::fromString(text, QLatin1String(format));
        if (date.isValid())
            return date;
    }
    if (const auto italian = parseDate(text, QLocale(QLocale::Italian, QLocale::Italy)))
        return italian;
    return parseDate(text);
}

} // namespace velinor::einvoice
