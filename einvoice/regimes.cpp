#include "einvoice/regimes.h"

namespace velinor::einvoice {

const QList<RegimeFiscale>& regimiFiscali()
{
    // RF03 was withdrawn from the tables.
    static const QList<RegimeFiscale> regimes = {
        {QStringLiteral("RF01"), QStringLiteral("Regime ordinario")},
        {QStringLiteral("RF02"), QStringLiteral("Regime dei contribuenti minimi (art. 1, c.96-117, L. 244/2007)")},
        {QStringLiteral("RF04"), QStringLiteral("Agricoltura e attività connesse e pesca (artt. 34 e 34-bis, D.P.R. 633/1972)")},
        {QStringLiteral("RF05"), QStringLiteral("Vendita sali e tabacchi (art. 74, c.1, D.P.R. 633/1972)")},
        {QStringLiteral("RF06"), QStringLiteral("Commercio dei fiammiferi (art. 74, c.1, D.P.R. 633/1972)")},
        {QStringLiteral("RF07"), QStringLiteral("Editoria (art. 74, c.1, D.P.R. 633/1972)")},
        {QStringLiteral("RF08"), QStringLiteral("Gestione di servizi di telefonia pubblica (art. 74, c.1, D.P.R. 633/1972)")},
        {QStringLiteral("RF09"), QStringLiteral("Rivendita di documenti di trasporto pubblico e di sosta (art. 74, c.1, D.P.R. 633/1972)")},
        {QStringLiteral("RF10"), QStringLiteral("Intrattenimenti, giochi e altre attività di cui alla tariffa allegata al D.P.R. 640/72 (art. 74, c.6, D.P.R. 633/1972)")},
        {QStringLiteral("RF11"), QStringLiteral("Agenzie di viaggi e turismo (art. 74-ter, D.P.R. 633/1972)")},
        {QStringLiteral("RF12"), QStringLiteral("Agriturismo (art. 5, c.2, L. 413/1991)")},
        {QStringLiteral("RF13"), QStringLiteral("Vendite a domicilio (art. 25-bis, c.6, D.P.R. 600/1973)")},
        {QStringLiteral("RF14"), QStringLiteral("Rivendita di beni usati, di oggetti d'arte, d'antiquariato o da collezione (art. 36, D.L. 41/1995)")},
        {QStringLiteral("RF15"), QStringLiteral("Agenzie di vendite all'asta di oggetti d'arte, antiquariato o da collezione (art. 40-bis, D.L. 41/1995)")},
        {QStringLiteral("RF16"), QStringLiteral("IVA per cassa P.A. (art. 6, c.5, D.P.R. 633/1972)")},
        {QStringLiteral("RF17"), QStringLiteral("IVA per cassa (art. 32-bis, D.L. 83/2012)")},
        {QStringLiteral("RF18"), QStringLiteral("Altro")},
        {QStringLiteral("RF19"), QStringLiteral("Regime forfettario (art. 1, c.54-89, L. 190/2014)")},
    };
    return regimes;
}

bool isRegimeFiscale(const QString& code)
{
    for (const RegimeFiscale& r : regimiFiscali())
        if (r.code.compare(code, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace velinor::einvoice
