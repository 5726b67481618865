#include "einvoice/fatturapa.h"

#include "einvoice/text.h"

#include <QMap>
#include <QXmlStreamWriter>

namespace velinor::einvoice {

namespace {

const QString fatturaNamespace =
    QStringLiteral("http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2");

class Writer {
public:
    explicit Writer(QByteArray* out) : m_xml(out) { m_xml.setAutoFormatting(true); }

    QXmlStreamWriter& xml() { return m_xml; }
    void open(const QString& name) { m_xml.writeStartElement(name); }
    void close() { m_xml.writeEndElement(); }
    void text(const QString& name, const QString& value)
    {
        m_xml.writeTextElement(name, latinText(value));
    }
    void optional(const QString& name, const QString& value)
    {
        if (!value.trimmed().isEmpty())
            text(name, value);
    }

private:
    QXmlStreamWriter m_xml;
};

QString country(const QString& nazione)
{
    return nazione.isEmpty() ? QStringLiteral("IT") : nazione.toUpper();
}

void address(Writer& w, const QString& street, const QString& number, const QString& cap,
             const QString& town, const QString& province, const QString& nazione)
{
    w.open(QStringLiteral("Sede"));
    w.text(QStringLiteral("Indirizzo"), street);
    w.optional(QStringLiteral("NumeroCivico"), number);
    w.text(QStringLiteral("CAP"), cap);
    w.text(QStringLiteral("Comune"), town);
    w.optional(QStringLiteral("Provincia"), province.toUpper());
    w.text(QStringLiteral("Nazione"), country(nazione));
    w.close();
}

void idFiscale(Writer& w, const QString& element, const QString& nazione, const QString& code)
{
    w.open(element);
    w.text(QStringLiteral("IdPaese"), country(nazione));
    w.text(QStringLiteral("IdCodice"), code.toUpper());
    w.close();
}

void transmission(Writer& w, const Document& d, const QString& progressive)
{
    const Company& c = d.company;
    const Customer& cu = d.customer;
    w.open(QStringLiteral("DatiTrasmissione"));
    // The same code as the file name.
    idFiscale(w, QStringLiteral("IdTrasmittente"), c.nazione, transmitterCode(c));
    w.text(QStringLiteral("ProgressivoInvio"), progressive);
    w.text(QStringLiteral("FormatoTrasmissione"), QStringLiteral("FPR12"));
    w.text(QStringLiteral("CodiceDestinatario"), destinationCode(cu));
    if (sendsToPec(cu))
        w.text(QStringLiteral("PECDestinatario"), cu.pec.trimmed());
    w.close();
}

void seller(Writer& w, const Company& c)
{
    w.open(QStringLiteral("CedentePrestatore"));
    w.open(QStringLiteral("DatiAnagrafici"));
    idFiscale(w, QStringLiteral("IdFiscaleIVA"), c.nazione, c.partitaIva);
    w.optional(QStringLiteral("CodiceFiscale"), c.codiceFiscale.toUpper());
    w.open(QStringLiteral("Anagrafica"));
    w.text(QStringLiteral("Denominazione"), c.denominazione);
    w.close();
    w.text(QStringLiteral("RegimeFiscale"),
           c.regimeFiscale.isEmpty() ? QStringLiteral("RF01") : c.regimeFiscale.toUpper());
    w.close();
    address(w, c.indirizzo, c.numeroCivico, c.cap, c.comune, c.provincia, c.nazione);
    if (!c.telefono.isEmpty() || !c.email.isEmpty()) {
        w.open(QStringLiteral("Contatti"));
        w.optional(QStringLiteral("Telefono"), c.telefono);
        w.optional(QStringLiteral("Email"), c.email);
        w.close();
    }
    w.close();
}

void buyer(Writer& w, const Customer& c)
{
    w.open(QStringLiteral("CessionarioCommittente"));
    w.open(QStringLiteral("DatiAnagrafici"));
    const bool foreign = isForeign(c);
    if (!c.partitaIva.isEmpty())
        idFiscale(w, QStringLiteral("IdFiscaleIVA"), c.nazione, c.partitaIva);
    if (!foreign)
        w.optional(QStringLiteral("CodiceFiscale"), c.codiceFiscale.toUpper());
    w.open(QStringLiteral("Anagrafica"));
    w.text(QStringLiteral("Denominazione"), c.name);
    w.close();
    w.close();
    // Abroad the exchange system takes 00000 for the CAP and no province.
    address(w, c.indirizzo, QString(), foreign ? QStringLiteral("00000") : c.cap, c.citta,
            foreign ? QString() : c.provincia, c.nazione);
    w.close();
}

// The delivery notes the lines name, each with the lines it covers; a note
// that covers every line names none.
void deliveryNotes(Writer& w, const Invoice& inv)
{
    struct Note {
        QString number;
        QDate date;
        QList<int> lines;
    };
    QList<Note> notes;
    for (int i = 0; i < inv.lines.size(); ++i) {
        const Line& l = inv.lines.at(i);
        const auto date = readDate(l.ddtDate);
        if (l.ddtNumber.isEmpty() || !date)
            continue;
        auto it = std::find_if(notes.begin(), notes.end(), [&](const Note& n) {
            return n.number == l.ddtNumber && n.date == *date;
        });
        if (it == notes.end())
            notes.append({l.ddtNumber, *date, {i + 1}});
        else
            it->lines.append(i + 1);
    }
    for (const Note& n : notes) {
        w.open(QStringLiteral("DatiDDT"));
        w.text(QStringLiteral("NumeroDDT"), n.number);
        w.text(QStringLiteral("DataDDT"), n.date.toString(Qt::ISODate));
        if (n.lines.size() != inv.lines.size())
            for (int line : n.lines)
                w.text(QStringLiteral("RiferimentoNumeroLinea"), QString::number(line));
        w.close();
    }
}

QString isoDate(const QVariant& value)
{
    return readDate(value).value_or(QDate()).toString(Qt::ISODate);
}

void general(Writer& w, const Document& d, const Figures& f)
{
    const Invoice& inv = d.invoice;
    const QString type = documentType(inv);
    w.open(QStringLiteral("DatiGenerali"));
    w.open(QStringLiteral("DatiGeneraliDocumento"));
    w.text(QStringLiteral("TipoDocumento"), type);
    w.text(QStringLiteral("Divisa"), QStringLiteral("EUR"));
    w.text(QStringLiteral("Data"), isoDate(inv.date));
    w.text(QStringLiteral("Numero"), QString::number(inv.number));
    if (stampDutyDue(d.company, f)) {
        w.open(QStringLiteral("DatiBollo"));
        w.text(QStringLiteral("BolloVirtuale"), QStringLiteral("SI"));
        w.text(QStringLiteral("ImportoBollo"), QStringLiteral("2.00"));
        w.close();
    }
    w.text(QStringLiteral("ImportoTotaleDocumento"), f.documentTotal.text(2, 2));
    w.close();
    if (type == QLatin1String("TD04")) {
        w.open(QStringLiteral("DatiFattureCollegate"));
        w.text(QStringLiteral("IdDocumento"), inv.linkedNumber.toString().trimmed());
        if (readDate(inv.linkedDate))
            w.text(QStringLiteral("Data"), isoDate(inv.linkedDate));
        w.close();
    }
    deliveryNotes(w, inv);
    if (!inv.packages.isEmpty() || !inv.appearance.isEmpty()) {
        w.open(QStringLiteral("DatiTrasporto"));
        if (!inv.packages.isEmpty())
            w.text(QStringLiteral("NumeroColli"), QString::number(inv.packages.toInt()));
        // The appearance of the goods.
        w.optional(QStringLiteral("Descrizione"), inv.appearance);
        w.close();
    }
    w.close();
}

// The law a summary without VAT rests on: the customer's, else the
// flat-rate regime's own.
QString legalReference(const Document& d, const QString& natura)
{
    if (!d.customer.riferimentoNormativo.isEmpty() && natura == d.customer.natura)
        return d.customer.riferimentoNormativo;
    if (natura == QLatin1String("N2.2") && d.company.regimeFiscale.toUpper() == QLatin1String("RF19"))
        return QStringLiteral("Operazione in franchigia da IVA, art. 1 c. 54-89 L. 190/2014");
    return d.customer.riferimentoNormativo;
}

void goods(Writer& w, const Document& d, const Figures& f)
{
    const Invoice& inv = d.invoice;
    w.open(QStringLiteral("DatiBeniServizi"));
    for (int i = 0; i < inv.lines.size(); ++i) {
        const Line& l = inv.lines.at(i);
        const LineFigures& lf = f.lines.at(i);
        w.open(QStringLiteral("DettaglioLinee"));
        w.text(QStringLiteral("NumeroLinea"), QString::number(i + 1));
        if (!l.articleCode.isEmpty()) {
            w.open(QStringLiteral("CodiceArticolo"));
            w.text(QStringLiteral("CodiceTipo"), QStringLiteral("INTERNO"));
            w.text(QStringLiteral("CodiceValore"), l.articleCode);
            w.close();
        }
        w.text(QStringLiteral("Descrizione"), l.description);
        if (lf.quantity)
            w.text(QStringLiteral("Quantita"), lf.quantity->text(2, 8));
        w.optional(QStringLiteral("UnitaMisura"), l.unit);
        w.text(QStringLiteral("PrezzoUnitario"), lf.price.text(2, 8));
        w.text(QStringLiteral("PrezzoTotale"), lf.total.text(2, 8));
        w.text(QStringLiteral("AliquotaIVA"), lf.rate.text(2, 2));
        if (lf.rate.isZero())
            w.text(QStringLiteral("Natura"), l.natura);
        w.close();
    }
    for (const RateSummary& s : f.summaries) {
        w.open(QStringLiteral("DatiRiepilogo"));
        w.text(QStringLiteral("AliquotaIVA"), s.rate.text(2, 2));
        w.optional(QStringLiteral("Natura"), s.natura);
        w.text(QStringLiteral("ImponibileImporto"), s.taxable.text(2, 2));
        w.text(QStringLiteral("Imposta"), s.tax.text(2, 2));
        w.text(QStringLiteral("EsigibilitaIVA"), QStringLiteral("I"));
        if (!s.natura.isEmpty())
            w.optional(QStringLiteral("RiferimentoNormativo"), legalReference(d, s.natura));
        w.close();
    }
    w.close();
}

// Paid in one go, by the modality and on the day of the named terms.
void payment(Writer& w, const Document& d, const Figures& f)
{
    const auto& term = d.invoice.paymentTerm;
    if (!term)
        return;
    w.open(QStringLiteral("DatiPagamento"));
    w.text(QStringLiteral("CondizioniPagamento"), QStringLiteral("TP02"));
    w.open(QStringLiteral("DettaglioPagamento"));
    w.text(QStringLiteral("ModalitaPagamento"), term->modalita);
    if (const auto date = readDate(d.invoice.date))
        w.text(QStringLiteral("DataScadenzaPagamento"), dueDate(*date, *term).toString(Qt::ISODate));
    w.text(QStringLiteral("ImportoPagamento"), f.documentTotal.text(2, 2));
    if (term->modalita == QLatin1String("MP05"))
        w.optional(QStringLiteral("IBAN"), d.company.iban);
    w.close();
    w.close();
}

} // namespace

QString progressiveText(int progressive)
{
    return QString::number(progressive).rightJustified(5, QLatin1Char('0'));
}

QString fileName(const Company& company, int progressive)
{
    return QStringLiteral("%1%2_%3.xml")
        .arg(country(company.nazione), transmitterCode(company), progressiveText(progressive));
}

QByteArray writeFatturaPA(const Document& doc, const Figures& figures, const QString& progressive)
{
    QByteArray out;
    Writer w(&out);
    QXmlStreamWriter& xml = w.xml();
    xml.writeStartDocument();
    xml.writeNamespace(fatturaNamespace, QStringLiteral("p"));
    xml.writeStartElement(fatturaNamespace, QStringLiteral("FatturaElettronica"));
    xml.writeAttribute(QStringLiteral("versione"), QStringLiteral("FPR12"));

    w.open(QStringLiteral("FatturaElettronicaHeader"));
    transmission(w, doc, progressive);
    seller(w, doc.company);
    buyer(w, doc.customer);
    w.close();

    w.open(QStringLiteral("FatturaElettronicaBody"));
    general(w, doc, figures);
    goods(w, doc, figures);
    payment(w, doc, figures);
    w.close();

    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

} // namespace velinor::einvoice
