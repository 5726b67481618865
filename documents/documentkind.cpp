#include "documents/documentkind.h"

namespace velinor {

const DocumentKind orderKind = {
    "frmordini", false, "Numero Ordine", "Numero Ordine", 18,
    "Numero Ordine", "Data Ordine", "Tot.Ordine", "Archivio Ordini",
    "Select * from Fatture WHERE [Numero Ordine] <> \"\"\r\n", 16, nullptr, 13,
    "SELECT * FROM odummy", "SELECT * FROM DettaglioFatture WHERE [Numero Ordine] = ?", 17,
    "DataReport9", "order",
};

const DocumentKind invoiceKind = {
    "frmFatture", true, "Order Code", "Numero Fattura", 12,
    "Numero Fattura", "Data Fattura", "Tot.Fattura", "Archivio Fatture",
    "Select * from Fatture WHERE [Order Code] > 0 ORDER BY [Order Code]", 13, "Numero Fattura", 0,
    "SELECT * FROM Odummy", "SELECT * FROM DettaglioFatture WHERE [Numero Fattura] = val(?)", 16,
    "DataReport8", "invoice",
};

const DocumentKind* documentKind(const QString& screen)
{
    for (const DocumentKind* k : {&orderKind, &invoiceKind})
        if (screen == QLatin1String(k->screen))
            return k;
    return nullptr;
}

} // namespace velinor
