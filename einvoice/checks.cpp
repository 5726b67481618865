#include "einvoice/fatturapa.h"

#include "common/numbertext.h"
#include "common/taxcode.h"
#include "einvoice/regimes.h"
#include "einvoice/text.h"

#include <QRegularExpression>

namespace velinor::einvoice {

namespace {

void add(QStringList& problems, const QString& problem)
{
    if (!problem.isEmpty())
        problems << problem;
}

// A required text: missing, or not fitting its field.
void required(QStringList& problems, const QString& value, const QString& what, int maxLength)
{
    if (value.isEmpty())
        problems << QStringLiteral("The %1 is missing.").arg(what);
    else
        add(problems, latinProblem(value, QStringLiteral("The ") + what, maxLength));
}

bool matches(const QString& value, const char* pattern)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(QLatin1String(pattern)))
        .match(value)
        .hasMatch();
}

// The parts of an address both parties have.
void addressProblems(QStringList& problems, const QString& street, const QString& cap,
                     const QString& town, const QString& province, const QString& country)
{
    required(problems, street, QStringLiteral("address (Indirizzo)"), 60);
    if (cap.isEmpty())
        problems << QStringLiteral("The CAP is missing.");
    else if (!matches(cap, "[0-9]{5}"))
        problems << QStringLiteral("The CAP must be 5 digits.");
    required(problems, town, QStringLiteral("town (Comune)"), 60);
    if (!province.isEmpty() && !matches(province.toUpper(), "[A-Z]{2}"))
        problems << QStringLiteral("The Provincia must be its two-letter abbreviation, such as "
                                   "MI or RM.");
    if (!country.isEmpty() && !matches(country.toUpper(), "[A-Z]{2}"))
        problems << QStringLiteral("The Nazione must be a two-letter country code, such as IT.");
}

} // namespace

QStringList companyProblems(const Company& c)
{
    QStringList p;
    required(p, c.denominazione, QStringLiteral("company name (Denominazione)"), 80);
    if (c.partitaIva.isEmpty())
        p << QStringLiteral("The Partita IVA is missing.");
    add(p, taxcode::partitaIvaProblem(c.partitaIva));
    add(p, taxcode::codiceFiscaleProblem(c.codiceFiscale));
    addressProblems(p, c.indirizzo, c.cap, c.comune, c.provincia, c.nazione);
    add(p, latinProblem(c.numeroCivico, QStringLiteral("The Numero Civico"), 8, true));
    if (!c.regimeFiscale.isEmpty() && !isRegimeFiscale(c.regimeFiscale))
        p << QStringLiteral("The Regime Fiscale must be a code from RF01 to RF19 (RF01 is the "
                            "ordinary one).");
    if (!c.telefono.isEmpty() && !matches(c.telefono, "[ -~]{5,12}"))
        p << QStringLiteral("The telephone number must be 5 to 12 characters.");
    if (!c.email.isEmpty() && !matches(c.email, ".+@.+[.].+"))
        p << QStringLiteral("The e-mail address does not look like one (name@domain.it).");
    return p;
}

bool isForeign(const Customer& c)
{
    return !c.nazione.isEmpty() && c.nazione.toUpper() != QLatin1String("IT");
}

QStringList customerProblems(const Customer& c)
{
    QStringList p;
    required(p, c.name, QStringLiteral("name (Ragione Sociale)"), 80);
    if (isForeign(c)) {
        if (!matches(c.nazione.toUpper(), "[A-Z]{2}"))
            p << QStringLiteral("The Nazione must be a two-letter country code, such as FR.");
        if (c.partitaIva.isEmpty())
            p << QStringLiteral("The VAT number (Partita IVA) of a customer abroad is missing.");
        else if (!matches(c.partitaIva, "[A-Za-z0-9]{1,28}"))
            p << QStringLiteral("The VAT number of a customer abroad must be letters and digits "
                                "only, without spaces (at most 28).");
        required(p, c.indirizzo, QStringLiteral("address (Indirizzo)"), 60);
        required(p, c.citta, QStringLiteral("town (Comune)"), 60);
        return p;
    }
    if (c.partitaIva.isEmpty() && c.codiceFiscale.isEmpty())
        p << QStringLiteral("Both the Partita IVA and the Codice Fiscale are missing: the file "
                            "needs at least one.");
    add(p, taxcode::partitaIvaProblem(c.partitaIva));
    add(p, taxcode::codiceFiscaleProblem(c.codiceFiscale));
    addressProblems(p, c.indirizzo, c.cap, c.citta, c.provincia, c.nazione);
    if (c.codiceDestinatario.isEmpty() && c.pec.isEmpty())
        p << QStringLiteral("Both the Codice Destinatario and the PEC are missing: the exchange "
                            "system needs one of them to deliver the invoice.");
    add(p, taxcode::codiceDestinatarioProblem(c.codiceDestinatario));
    if (c.codiceDestinatario.trimmed().size() == 6)
        p << QStringLiteral("The Codice Destinatario has 6 characters, that of a public body: "
                            "invoices to public bodies are not exported yet.");
    add(p, taxcode::pecProblem(c.pec));
    return p;
}

QStringList invoiceProblems(const Invoice& inv, Figures& figures)
{
    QStringList p;
    const auto date = readDate(inv.date);
    if (!date)
        p << QStringLiteral("The invoice date \"%1\" is not a date.").arg(inv.date.toString());
    else if (date->year() < 1970)
        p << QStringLiteral("The invoice date is before 1970.");
    if (!inv.packages.isEmpty()) {
        bool ok = false;
        const int n = inv.packages.toInt(&ok);
        if (!ok || n < 1 || n > 9999)
            p << QStringLiteral("The number of packages (N.Colli) \"%1\" must be a whole number "
                                "from 1 to 9999.")
                     .arg(inv.packages);
    }
    add(p, latinProblem(inv.appearance, QStringLiteral("The appearance of the goods (Aspetto)"), 100));
    if (inv.lines.isEmpty())
        p << QStringLiteral("The invoice has no lines.");
    for (int i = 0; i < inv.lines.size(); ++i) {
        const Line& l = inv.lines.at(i);
        const QString n = QString::number(i + 1);
        add(p, latinProblem(l.description, QStringLiteral("The description of line ") + n, 1000));
        add(p, latinProblem(l.articleCode, QStringLiteral("The article code of line ") + n, 35));
        add(p, latinProblem(l.unit, QStringLiteral("The unit of line ") + n, 10, true));
        if (!l.ddtNumber.isEmpty() && readDate(l.ddtDate))
            add(p, latinProblem(l.ddtNumber, QStringLiteral("The DDT number of line ") + n, 20, true));
    }
    figures = computeFigures(inv, p);
    return p;
}

Problems checkDocument(const Document& doc, Figures& figures)
{
    return {companyProblems(doc.company), customerProblems(doc.customer),
            invoiceProblems(doc.invoice, figures)};
}

QString Problems::message(int invoiceNumber) const
{
    QString text = QStringLiteral("Invoice %1 cannot be exported as FatturaPA:").arg(invoiceNumber);
    auto section = [&text](const QString& heading, const QStringList& items) {
        if (items.isEmpty())
            return;
        text += QStringLiteral("\n\n") + heading;
        for (const QString& item : items)
            text += QStringLiteral("\n- ") + item;
    };
    section(QStringLiteral("Company data (Dati Azienda):"), company);
    section(QStringLiteral("Customer:"), customer);
    section(QStringLiteral("Invoice:"), invoice);
    return text;
}

} // namespace velinor::einvoice
