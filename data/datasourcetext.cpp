#include "data/datasource.h"

#include "common/numbertext.h"

#include <QLocale>

namespace velinor {

namespace {

// A typed value as a message quotes it: a long paste would fill the box.
QString shortened(const QString& text)
{
    constexpr int most = 40;
    return text.size() <= most ? text : text.left(most - 1) + QChar(0x2026);
}

} // namespace

// Values cross a data source as text in the user's locale; the database
// holds numbers as numbers and dates in ISO form.
QString DataSource::toText(int column, const QVariant& value) const
{
    if (value.isNull())
        return QString();
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return locale.toString(value.toLongLong());
    case QMetaType::Double:
        return formatNumber(value.toDouble(), locale);
    default:
        break;
    }
    const QString text = value.toString();
    if (field(column).kind == FieldKind::Date) {
        const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
        if (date.isValid())
            return formatDate(date, locale);
    }
    return text;
}

QVariant DataSource::toStored(int column, const QString& text) const
{
    const Field& f = field(column);
    switch (f.kind) {
    case FieldKind::Text:
        return text;
    case FieldKind::Number: {
        if (text.trimmed().isEmpty())
            return QVariant();
        const auto number = parseNumber(text);
        if (!number)
            throw DbError(QStringLiteral("\"%1\" holds numbers only, and \"%2\" is not a number")
                              .arg(caption(column), shortened(text)));
        return *number;
    }
    case FieldKind::Date: {
        if (text.trimmed().isEmpty())
            return QVariant();
        const auto date = parseDate(text);
        if (!date)
            throw DbError(QStringLiteral("\"%1\" holds dates only, written as %2, and \"%3\" is "
                                         "not a date")
                              .arg(caption(column), dateFormatInWords(), shortened(text)));
        return date->toString(Qt::ISODate);
    }
    }
    return text;
}

} // namespace velinor
