#pragma once

#include <QList>
#include <QString>

namespace velinor::einvoice {

// A tax regime of the seller (RegimeFiscale), as the FatturaPA tables give it.
struct RegimeFiscale {
    QString code;    // RF01 ... RF19
    QString meaning; // in the tables' own words
};

// Every code the exchange system accepts, in the order of their numbers.
const QList<RegimeFiscale>& regimiFiscali();

// Whether the code (in any letter case) is one of them.
bool isRegimeFiscale(const QString& code);

} // namespace velinor::einvoice
