#pragma once

#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velinor {

class DataSource;
class Database;

// The e-invoicing row of the invoice screen: whether the invoice being
// entered is a credit note and which invoice it corrects, the state of the
// picked invoice's file at the exchange system, and "Ricevute SdI", which
// reads the system's notifications. It also offers the payment terms of
// Pagamenti in the payment box as the user types.
class EInvoicePanel : public QWidget {
    Q_OBJECT
public:
    EInvoicePanel(DataSource* header, QLineEdit* paymentBox, QWidget* parent = nullptr);

    // Credit note controls only while an invoice is being entered.
    void setEditing(bool editing);
    // Shows the state of that saved invoice's latest file; empty: none picked.
    void showInvoice(const QString& number);
    // Before saving: a credit note names an invoice on file other than
    // itself. Shows the refusal and returns false.
    bool acceptSave(const QVariant& number);

private:
    void creditNoteToggled(bool on);
    void readReceipts();
    void offerPaymentTerms(QLineEdit* box);

    std::shared_ptr<Database> m_db; // the screen's own connection
    QCheckBox* m_creditNote = nullptr;
    QLineEdit* m_type = nullptr;   // TipoDocumento, hidden
    QLineEdit* m_linked = nullptr; // FatturaCollegata
    QLabel* m_state;
    QPushButton* m_receipts;
    QLineEdit* m_paymentBox;
    QString m_shown;
    bool m_editing = false;
};

// Tests choose the notification files instead of the open dialog.
using ReceiptDialogHook = std::function<QStringList()>;
void setReceiptDialogHook(ReceiptDialogHook hook);

} // namespace velinor
