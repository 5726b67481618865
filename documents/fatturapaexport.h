#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace velinor {

// "FatturaPA" on the invoice screen: checks the saved invoice of that
// number, proposes the file name the exchange system expects, asks where
// to save it, writes it and says where it went. Refusals list every
// problem; incomplete company data also open frmAzienda.
void exportFatturaPA(QWidget* screen, const QString& invoiceNumber);

// "Dati Azienda" on the invoice screen.
void openCompanyData();

// Tests answer the save dialog: the hook receives the proposed path and
// returns the chosen one (empty: cancelled).
using SaveDialogHook = std::function<QString(const QString& proposed)>;
void setSaveDialogHook(SaveDialogHook hook);

} // namespace velinor
