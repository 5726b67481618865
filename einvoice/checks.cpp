#include "einvoice/fatturapa.h"

#include "common/numbertext.h"
#include "common/taxcode.h"
#include "einvoice/regimes.h"
#include "einvoice/text.h"

#include <QLocale>
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

// NumeroLinea has four digits.
constexpr int maxLines = 9999;

QStringList documentProblems(const Invoice& inv)
{
    QStringList p;
    const QString type = documentType(inv);
    static const QStringList known = {"TD01", "TD04", "TD24"};
    if (!known.contains(type)) {
        p << QStringLiteral("The document type \"%1\" is not one the program sends (TD01 "
                            "invoice, TD04 credit note, TD24 deferred invoice).")
                 .arg(inv.tipoDocumento);
        return p;
    }
    if (type != QLatin1String("TD04"))
        return p;
    if (inv.linkedNumber.isNull() || inv.linkedNumber.toString().trimmed().isEmpty())
        p << QStringLiteral("The credit note does not say which invoice it corrects (Fattura "
                            "collegata).");
    else if (!inv.linkedOnFile)
        p << QStringLiteral("The credit note corrects invoice %1, which is not on file.")
                 .arg(inv.linkedNumber.toString());
    return p;
}

void totalProblems(QStringList& p, const Invoice& inv, const Figures& f)
{
    if (!f.documentTotal.isNegative())
        return;
    if (documentType(inv) == QLatin1String("TD04"))
        p << QStringLiteral("The credit note's total is negative: type a credit note's amounts "
                            "positive.");
    else
        p << QStringLiteral("The invoice total is negative: a return is made as a credit note "
                            "(Nota di credito) with positive amounts.");
}

void exemptionProblems(QStringList& problems, const Customer& c)
{
    add(problems, naturaProblem(c.natura));
    add(problems, latinProblem(c.riferimentoNormativo, QStringLiteral("The Riferimento Normativo"), 100));
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
    // The schema's type for the contacts' address: at least 7 characters.
    if (!c.email.isEmpty() && (!matches(c.email, ".+@.+[.].+") || c.email.size() < 7))
        p << QStringLiteral("The e-mail address does not look like one (name@domain.it, at "
                            "least 7 characters).");
    if (!c.iban.isEmpty() && !matches(c.iban, "[a-zA-Z]{2}[0-9]{2}[a-zA-Z0-9]{11,30}"))
        p << QStringLiteral("The IBAN must be written without spaces: two letters, two digits "
                            "and 11 to 30 letters or digits (IT60X0542811101000000123456).");
    return p;
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
        exemptionProblems(p, c);
        return p;
    }
    if (c.partitaIva.isEmpty() && c.codiceFiscale.isEmpty())
        p << QStringLiteral("Both the Partita IVA and the Codice Fiscale are missing: the file "
                            "needs at least one.");
    add(p, taxcode::partitaIvaProblem(c.partitaIva));
    add(p, taxcode::codiceFiscaleProblem(c.codiceFiscale));
    addressProblems(p, c.indirizzo, c.cap, c.citta, c.provincia, c.nazione);
    // A consumer has neither: the file goes to its reserved area by its
    // Codice Fiscale.
    if (c.codiceDestinatario.isEmpty() && c.pec.isEmpty() && c.codiceFiscale.isEmpty())
        p << QStringLiteral("Both the Codice Destinatario and the PEC are missing: the exchange "
                            "system needs one of them, or for a consumer the Codice Fiscale, to "
                            "deliver the invoice.");
    if (c.codiceDestinatario.trimmed().toUpper() == QLatin1String("XXXXXXX"))
        p << QStringLiteral("The Codice Destinatario XXXXXXX is only for customers abroad: give "
                            "this Italian customer its own code, 0000000 or none.");
    else
        add(p, taxcode::codiceDestinatarioProblem(c.codiceDestinatario));
    if (c.codiceDestinatario.trimmed().size() == 6)
        p << QStringLiteral("The Codice Destinatario has 6 characters, that of a public body: "
                            "invoices to public bodies are not exported yet.");
    add(p, taxcode::pecProblem(c.pec));
    exemptionProblems(p, c);
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
    else if (*date > QDate::currentDate())
        p << QStringLiteral("The invoice is dated %1, after today: the exchange system takes no "
                            "invoice dated in the future. Export it on its day.")
                 .arg(QLocale().toString(*date, QLocale::ShortFormat));
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
    if (inv.lines.size() > maxLines)
        p << QStringLiteral("The invoice has %1 lines; the file takes at most %2. Split it into "
                            "several invoices.")
                 .arg(inv.lines.size())
                 .arg(maxLines);
    p << documentProblems(inv);
    for (int i = 0; i < inv.lines.size(); ++i) {
        const Line& l = inv.lines.at(i);
        const QString n = QString::number(i + 1);
        add(p, latinProblem(l.description, QStringLiteral("The description of line ") + n, 1000));
        add(p, latinProblem(l.articleCode, QStringLiteral("The article code of line ") + n, 35));
        add(p, latinProblem(l.unit, QStringLiteral("The unit of line ") + n, 10, true));
        if (l.ddtNumber.isEmpty() && l.ddtDate.isEmpty())
            continue;
        if (!readDate(l.ddtDate))
            p << QStringLiteral("Line %1 names the DDT \"%2\" dated \"%3\", which is not a date "
                                "(write it as 01/12/2026).")
                     .arg(n, l.ddtNumber, l.ddtDate);
        else if (l.ddtNumber.isEmpty())
            p << QStringLiteral("Line %1 has a DDT date but no DDT number.").arg(n);
        else
            add(p, latinProblem(l.ddtNumber, QStringLiteral("The DDT number of line ") + n, 20, true));
    }
    figures = computeFigures(inv, p);
    totalProblems(p, inv, figures);
    return p;
}

Problems checkDocument(const Document& doc, Figures& figures)
{
    Problems p{companyProblems(doc.company), customerProblems(doc.customer),
               invoiceProblems(doc.invoice, figures)};
    // A flat-rate seller charges no VAT.
    if (doc.company.regimeFiscale.toUpper() == QLatin1String("RF19"))
        for (int i = 0; i < figures.lines.size(); ++i)
            if (!figures.lines.at(i).rate.isZero())
                p.invoice << QStringLiteral("Line %1 is at %2% VAT, but the company is in the "
                                            "flat-rate regime (RF19), which charges none: make "
                                            "it 0% with Natura N2.2.")
                                 .arg(i + 1)
                                 .arg(figures.lines.at(i).rate.text(0, 2));
    const auto& term = doc.invoice.paymentTerm;
    if (term && !matches(term->modalita, "MP(0[1-9]|1[0-9]|2[0-3])"))
        p.invoice << QStringLiteral("The payment terms \"%1\" have the modality \"%2\", which "
                                    "is none of MP01 to MP23.")
                         .arg(doc.invoice.payment, term->modalita);
    if (term && term->modalita == QLatin1String("MP05") && doc.company.iban.isEmpty())
        p.company << QStringLiteral("The payment \"%1\" is a bank transfer: the company's IBAN "
                                    "is missing.")
                         .arg(doc.invoice.payment);
    return p;
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
