#include "einvoice/fatturapa.h"

#include "einvoice/text.h"

namespace velinor::einvoice {

namespace {

const QString noCode = QStringLiteral("0000000");

} // namespace

bool isForeign(const Customer& c)
{
    return !c.nazione.isEmpty() && c.nazione.toUpper() != QLatin1String("IT");
}

bool isSanMarino(const Customer& c) { return c.nazione.toUpper() == QLatin1String("SM"); }

QString destinationCode(const Customer& c)
{
    if (isSanMarino(c))
        return QStringLiteral("2R4GTO8");
    if (isForeign(c))
        return QStringLiteral("XXXXXXX");
    const QString code = c.codiceDestinatario.trimmed().toUpper();
    return code.isEmpty() ? noCode : code;
}

bool sendsToPec(const Customer& c)
{
    return !isForeign(c) && destinationCode(c) == noCode && !c.pec.trimmed().isEmpty();
}

QString deliveryNotice(const Customer& c)
{
    if (isForeign(c) && !isSanMarino(c))
        return QStringLiteral("The exchange system does not deliver to customers abroad: send "
                              "%1 the invoice yourself.")
            .arg(c.name);
    if (destinationCode(c) == noCode && !sendsToPec(c))
        return QStringLiteral("%1 has neither a Codice Destinatario nor a PEC: the file reaches "
                              "only the customer's reserved area at the Agenzia delle Entrate, "
                              "so a paper copy of the invoice is due.")
            .arg(c.name);
    return {};
}

Customer withoutCountryPrefix(Customer c)
{
    const QString country = c.nazione.isEmpty() ? QStringLiteral("IT") : c.nazione.toUpper();
    const QString vat = c.partitaIva.trimmed();
    if (vat.size() > 2 && vat.left(2).toUpper() == country)
        c.partitaIva = vat.mid(2).trimmed();
    return c;
}

QString naturaProblem(const QString& natura)
{
    const QString n = natura.trimmed().toUpper();
    if (n.isEmpty() || naturaCodes().contains(n))
        return {};
    return QStringLiteral("The Natura must be one of %1.").arg(naturaCodes().join(QStringLiteral(", ")));
}

QString documentType(const Invoice& inv)
{
    const QString stored = inv.tipoDocumento.trimmed().toUpper();
    if (!stored.isEmpty() && stored != QLatin1String("TD01"))
        return stored;
    const auto date = readDate(inv.date);
    for (const Line& l : inv.lines) {
        const auto ddt = readDate(l.ddtDate);
        if (!l.ddtNumber.isEmpty() && ddt && date && *ddt < *date)
            return QStringLiteral("TD24");
    }
    return QStringLiteral("TD01");
}

QDate dueDate(const QDate& invoiceDate, const PaymentTerm& term)
{
    QDate due = invoiceDate.addDays(term.days);
    if (term.endOfMonth)
        due = QDate(due.year(), due.month(), due.daysInMonth());
    return due;
}

bool stampDutyDue(const Company& company, const Figures& figures)
{
    return company.bolloVirtuale && figures.stampDutyBase > Amount::fromCents(7747);
}

QString transmitterCode(const Company& company) { return company.partitaIva.trimmed().toUpper(); }

} // namespace velinor::einvoice
