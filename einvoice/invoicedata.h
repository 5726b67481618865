#pragma once

#include <QList>
#include <QString>
#include <QVariant>

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
};

// A saved invoice header of Fatture with its lines.
struct Invoice {
    int number = 0;
    QVariant date;
    QString customerName;
    QString customerCode;
    QString appearance; // Aspetto
    QString packages;   // Numero Colli
    QList<Line> lines;
};

} // namespace velinor::einvoice
