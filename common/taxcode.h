#pragma once

#include <QString>

// Checks of the Italian tax and e-invoicing codes, as the exchange system
// applies them. Each returns an empty text when the value is well formed (or
// empty: whether a code is required is the caller's business), else one
// sentence saying what is wrong. Spaces at either end are ignored; letters
// may be typed in either case.
namespace velinor::taxcode {

// Partita IVA: 11 digits, the last a check digit over the first ten.
QString partitaIvaProblem(const QString& value);

// Codice Fiscale: 16 characters with a check character (omocodia letters
// accepted in the digit places), or a company's 11-digit code, which is
// checked like a Partita IVA.
QString codiceFiscaleProblem(const QString& value);

// Codice Destinatario: 7 letters or digits, or 6 for public bodies.
QString codiceDestinatarioProblem(const QString& value);

// PEC: an e-mail address, name@domain.tld.
QString pecProblem(const QString& value);

// The check digit of the first ten digits of a Partita IVA.
int partitaIvaCheckDigit(const QString& firstTen);
// The check character of the first 15 characters of a Codice Fiscale.
QChar codiceFiscaleCheckChar(const QString& firstFifteen);

} // namespace velinor::taxcode
