#include "common/taxcode.h"

#include <QRegularExpression>

namespace velinor::taxcode {

namespace {

bool allDigits(const QString& s)
{
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return !s.isEmpty();
}

// Letters that stand for the digits 0-9 where a code was altered to tell
// two people with the same data apart.
const QString omocodia = QStringLiteral("LMNPQRSTUV");

bool digitOrOmocodia(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || omocodia.contains(c);
}

int decodedDigit(QChar c)
{
    const int k = omocodia.indexOf(c);
    return k >= 0 ? k : c.digitValue();
}

} // namespace

int partitaIvaCheckDigit(const QString& firstTen)
{
    int sum = 0;
    for (int i = 0; i < 10; ++i) {
        int d = firstTen.at(i).digitValue();
        if (i % 2 == 1) {
            d *= 2;
            if (d > 9)
                d -= 9;
        }
        sum += d;
    }
    return (10 - sum % 10) % 10;
}

QChar codiceFiscaleCheckChar(const QString& firstFifteen)
{
    // Value of 0-9 and A-Z in the odd places (1st, 3rd, ...); in the even
    // places a digit counts as itself and a letter as its place in A-Z.
    static const int odd[26] = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 2, 4, 18,
                                20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};
    int sum = 0;
    for (int i = 0; i < 15; ++i) {
        const QChar c = firstFifteen.at(i);
        const int v = c.isDigit() ? c.digitValue() : c.unicode() - 'A';
        sum += (i % 2 == 0) ? odd[v] : v;
    }
    return QLatin1Char(char('A' + sum % 26));
}

QString partitaIvaProblem(const QString& value)
{
    const QString v = value.trimmed();
    if (v.isEmpty())
        return {};
    if (v.size() != 11 || !allDigits(v))
        return QStringLiteral("The Partita IVA must be 11 digits.");
    if (partitaIvaCheckDigit(v) != v.at(10).digitValue())
        return QStringLiteral("The Partita IVA has a wrong check digit: a digit is mistyped.");
    return {};
}

QString codiceFiscaleProblem(const QString& value)
{
    const QString v = value.trimmed().toUpper();
    if (v.isEmpty())
        return {};
    if (allDigits(v)) {
        if (v.size() != 11)
            return QStringLiteral("A company's Codice Fiscale must be 11 digits.");
        if (partitaIvaCheckDigit(v) != v.at(10).digitValue())
            return QStringLiteral("The Codice Fiscale has a wrong check digit: a digit is mistyped.");
        return {};
    }
    if (v.size() != 16)
        return QStringLiteral("The Codice Fiscale must be 16 characters (11 digits for a company).");
    static const QRegularExpression shape(QStringLiteral("^[A-Z]{6}..[ABCDEHLMPRST]..[A-Z]...[A-Z]$"));
    bool ok = shape.match(v).hasMatch();
    for (int i : {6, 7, 9, 10, 12, 13, 14})
        ok = ok && digitOrOmocodia(v.at(i));
    if (ok) {
        const int day = decodedDigit(v.at(9)) * 10 + decodedDigit(v.at(10));
        ok = (day >= 1 && day <= 31) || (day >= 41 && day <= 71);
    }
    if (!ok)
        return QStringLiteral("The Codice Fiscale is not laid out as one: six letters, the year, "
                              "the month letter, the day, the place and the check letter.");
    if (codiceFiscaleCheckChar(v) != v.at(15))
        return QStringLiteral("The Codice Fiscale has a wrong check letter: a character is mistyped.");
    return {};
}

QString codiceDestinatarioProblem(const QString& value)
{
    const QString v = value.trimmed().toUpper();
    if (v.isEmpty())
        return {};
    static const QRegularExpression shape(QStringLiteral("^[A-Z0-9]{6,7}$"));
    if (!shape.match(v).hasMatch())
        return QStringLiteral("The Codice Destinatario must be 7 letters or digits (6 for public bodies).");
    return {};
}

QString pecProblem(const QString& value)
{
    const QString v = value.trimmed();
    if (v.isEmpty())
        return {};
    static const QRegularExpression shape(
        QStringLiteral("^[^@\\s]+@[^@\\s.]+(\\.[^@\\s.]+)*\\.[A-Za-z]{2,}$"));
    if (!shape.match(v).hasMatch())
        return QStringLiteral("The PEC does not look like an address (name@domain.it).");
    // The e-invoice's address type: plain ASCII letters, digits and
    // !#$%&'*+-/=?^_`{|}~ around the dots, nothing else (no comma, no
    // accented letter), at most 256 characters.
    static const QRegularExpression atoms(QStringLiteral(
        "^[!#-'*+/-9=?A-Z^-~\\-]+(\\.[!#-'*+/-9=?A-Z^-~\\-]+)*@[!#-'*+/-9=?A-Z^-~\\-]+"
        "(\\.[!#-'*+/-9=?A-Z^-~\\-]+)*$"));
    if (!atoms.match(v).hasMatch() || v.size() > 256)
        return QStringLiteral("The PEC may hold only plain letters, digits, dots and the signs "
                              "!#$%&'*+-/=?^_`{|}~: no comma, space or accented letter.");
    return {};
}

} // namespace velinor::taxcode
