#include "einvoice/receipt.h"

#include "data/database.h"
#include "einvoice/sendlog.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>

namespace velinor::einvoice {

namespace {

const QString messaggi = QStringLiteral("http://www.fatturapa.gov.it/sdi/messaggi/v1.0");
const QString ricevute =
    QStringLiteral("http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fattura/messaggi/v1.0");

struct Kind {
    const char* code;
    const QString* state;
};

// The root elements the program reads, by namespace and name.
const QHash<QString, Kind>& kinds()
{
    static const QHash<QString, Kind> k = {
        {messaggi + "|RicevutaConsegna", {"RC", &state::delivered}},
        {messaggi + "|NotificaScarto", {"NS", &state::rejected}},
        {messaggi + "|NotificaMancataConsegna", {"MC", &state::notDelivered}},
        {messaggi + "|NotificaEsito", {"NE", nullptr}},
        {messaggi + "|NotificaDecorrenzaTermini", {"DT", &state::lapsed}},
        {messaggi + "|AttestazioneTrasmissioneFattura", {"AT", &state::undeliverable}},
        {ricevute + "|RicevutaConsegna", {"RC", &state::delivered}},
        {ricevute + "|RicevutaScarto", {"NS", &state::rejected}},
        {ricevute + "|RicevutaImpossibilitaRecapito", {"MC", &state::notDelivered}},
    };
    return k;
}

// The children the program reads, at any depth, by name.
struct Fields {
    QString fileName;
    QString delivered;   // DataOraConsegna
    QString outcome;     // Esito: EC01 accepted, EC02 refused
    QString description; // Descrizione of the customer's answer or of the failure
    QStringList errors;  // Codice and Descrizione of each Errore
};

Fields readFields(QXmlStreamReader& xml)
{
    Fields f;
    QString code;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("Errore")) {
            code.clear();
        } else if (name == QLatin1String("Codice")) {
            code = xml.readElementText().trimmed();
        } else if (name == QLatin1String("Descrizione")) {
            const QString text = xml.readElementText().trimmed();
            if (!code.isEmpty()) {
                f.errors << code + QStringLiteral(" ") + text;
                code.clear();
            } else if (f.description.isEmpty()) {
                f.description = text;
            }
        } else if (name == QLatin1String("NomeFile") && f.fileName.isEmpty()) {
            f.fileName = xml.readElementText().trimmed();
        } else if (name == QLatin1String("DataOraConsegna")) {
            f.delivered = xml.readElementText().trimmed();
        } else if (name == QLatin1String("Esito")) {
            f.outcome = xml.readElementText().trimmed().toUpper();
        }
    }
    return f;
}

} // namespace

Receipt parseReceipt(const QByteArray& data)
{
    Receipt r;
    QXmlStreamReader xml(data);
    while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::StartElement) {
    }
    if (xml.hasError() || xml.atEnd()) {
        r.problem = QStringLiteral("it is not an XML file");
        return r;
    }
    const QString root = xml.name().toString();
    const auto kind = kinds().constFind(xml.namespaceUri().toString() + QLatin1Char('|') + root);
    if (kind == kinds().constEnd()) {
        r.problem = QStringLiteral("%1 is not a notification of the exchange system about a sent "
                                   "invoice")
                        .arg(root);
        return r;
    }
    const Fields f = readFields(xml);
    if (xml.hasError()) {
        r.problem = QStringLiteral("it is not well-formed XML (%1)").arg(xml.errorString());
        return r;
    }
    if (f.fileName.isEmpty()) {
        r.problem = QStringLiteral("it names no file (NomeFile)");
        return r;
    }
    r.kind = QLatin1String(kind->code);
    r.fileName = f.fileName;
    if (r.fileName.endsWith(QLatin1String(".p7m"), Qt::CaseInsensitive))
        r.fileName.chop(4);
    if (r.kind == QLatin1String("NE")) {
        if (f.outcome != QLatin1String("EC01") && f.outcome != QLatin1String("EC02")) {
            r.problem = QStringLiteral("the customer's answer \"%1\" is neither EC01 nor EC02")
                            .arg(f.outcome);
            return r;
        }
        r.state = f.outcome == QLatin1String("EC01") ? state::accepted : state::refused;
        r.message = f.description;
    } else if (r.kind == QLatin1String("NS")) {
        r.state = *kind->state;
        r.message = f.errors.isEmpty() ? f.description : f.errors.join(QStringLiteral("; "));
    } else if (r.kind == QLatin1String("RC")) {
        r.state = *kind->state;
        r.message = f.delivered.isEmpty() ? QString()
                                           : QStringLiteral("Consegnata il %1").arg(f.delivered);
    } else {
        r.state = *kind->state;
        r.message = f.description;
    }
    return r;
}

QString applyReceiptFile(Database& db, const QString& path, bool* ok)
{
    *ok = false;
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1 cannot be read: %2").arg(shown, file.errorString());
    const Receipt r = parseReceipt(file.readAll());
    if (!r.problem.isEmpty())
        return QStringLiteral("%1 was not read: %2.").arg(shown, r.problem);
    if (!setSendingState(db, r.fileName, r.state, r.message))
        return QStringLiteral("%1 (%2) is about %3, which is not among the files written here.")
            .arg(shown, r.kind, r.fileName);
    *ok = true;
    QString text = QStringLiteral("%1: %2").arg(r.fileName, r.state);
    if (!r.message.isEmpty())
        text += QStringLiteral(" - ") + r.message;
    return text;
}

} // namespace velinor::einvoice
