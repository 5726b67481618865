#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace velinor::einvoice {

// The seller, the one row of Azienda.
struct Company {
    QString denominazione;
    QString partitaIva;
    QString codiceFiscale;
    QString indirizzo;
    QString numeroCivico;
    QString cap;
    QString comune;
    QString provincia;
    QString nazione;
    QString regimeFiscale;
    QString telefono;
    QString email;
    QString iban;
    bool bolloVirtuale = true; // the stamp duty is paid virtually
};

// The invoice's customer, a row of Customers.
struct Customer {
    QString code;
    QString name;
    QString indirizzo;
    QString citta;
    QString cap;
    QString partitaIva;
    QString codiceFiscale;
    QString provincia;
    QString nazione;
    QString codiceDestinatario;
    QString pec;
    QString natura;               // the exemption of every sale to it, if any
    QString riferimentoNormativo; // the law it rests on, for the summary
};

// A saved line, as DettaglioFatture holds it; numbers stay as stored (null
// when empty).
struct Line {
    QString description;
    QString articleCode;
    QString unit;
    QVariant quantity;
    QVariant price;
    QVariant amount; // Imponibile
    QVariant vatRate;
    QString ddtNumber;
    QString ddtDate; // as typed
    QString natura;  // why a 0% line carries no VAT
};

// A row of Pagamenti: how and when an invoice is paid.
struct PaymentTerm {
    QString modalita; // MP01 ... MP23
    int days = 0;
    bool endOfMonth = false;
};

// A saved invoice header of Fatture with its lines.
struct Invoice {
    int number = 0;
    QVariant date;
    QString customerName;
    QString customerCode;
    QString appearance; // Aspetto
    QString packages;   // Numero Colli
    QString tipoDocumento; // as stored: empty is an ordinary invoice
    QVariant linkedNumber; // FatturaCollegata: the invoice a credit note corrects
    QVariant linkedDate;   // ...and its date, null when it is not on file
    bool linkedOnFile = false;
    QString payment;       // Pagamento as typed
    std::optional<PaymentTerm> paymentTerm; // when it names a row of Pagamenti
    QList<Line> lines;
};

} // namespace velinor::einvoice
