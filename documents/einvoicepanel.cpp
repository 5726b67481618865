#include "documents/einvoicepanel.h"

#include "common/messagebox.h"
#include "data/database.h"
#include "data/datasource.h"
#include "data/fieldbinding.h"
#include "einvoice/receipt.h"
#include "einvoice/sendlog.h"
#include "einvoice/store.h"

#include <QCheckBox>
#include <QCompleter>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>

namespace velinor {

namespace {

const QString creditNoteType = QStringLiteral("TD04");

ReceiptDialogHook& receiptHook()
{
    static ReceiptDialogHook hook;
    return hook;
}

} // namespace

void setReceiptDialogHook(ReceiptDialogHook hook) { receiptHook() = std::move(hook); }

EInvoicePanel::EInvoicePanel(DataSource* header, QLineEdit* paymentBox, QWidget* parent)
    : QWidget(parent), m_db(header->database()), m_paymentBox(paymentBox)
{
    setObjectName(QStringLiteral("pnlEInvoice"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    // A file made before these fields: no credit notes, the rest works.
    if (header->fieldIndex(QStringLiteral("TipoDocumento")) >= 0
        && header->fieldIndex(QStringLiteral("FatturaCollegata")) >= 0) {
        m_creditNote = new QCheckBox(QStringLiteral("Nota di credito"), this);
        m_creditNote->setObjectName(QStringLiteral("chkNotaCredito"));
        m_type = new QLineEdit(this);
        m_type->setObjectName(QStringLiteral("txtTipoDocumento"));
        m_type->setVisible(false);
        bind(m_type, header, QStringLiteral("TipoDocumento"));
        m_linked = new QLineEdit(this);
        m_linked->setObjectName(QStringLiteral("txtFatturaCollegata"));
        m_linked->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 12);
        bind(m_linked, header, QStringLiteral("FatturaCollegata"), QStringLiteral("Storno fattura n."));
        auto* label = new QLabel(QStringLiteral("Storno fattura n."), this);
        label->setObjectName(QStringLiteral("lblFatturaCollegata"));
        label->setBuddy(m_linked);
        row->addWidget(m_creditNote);
        row->addWidget(label);
        row->addWidget(m_linked);
        connect(m_creditNote, &QCheckBox::clicked, this, &EInvoicePanel::creditNoteToggled);
        // The box follows the header row shown; the check box follows it.
        connect(m_type, &QLineEdit::textChanged, this, [this](const QString& type) {
            m_creditNote->setChecked(type.trimmed().toUpper() == creditNoteType);
            m_linked->setEnabled(m_editing && m_creditNote->isChecked());
        });
    }
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("lblStatoSdI"));
    m_state->setTextFormat(Qt::PlainText);
    // A long list of errors must not widen the screen: the tool tip has it whole.
    m_state->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_state->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_receipts = new QPushButton(QStringLiteral("Ricevute SdI"), this);
    m_receipts->setObjectName(QStringLiteral("cmdRicevute"));
    row->addWidget(m_state, 1);
    row->addWidget(m_receipts);
    connect(m_receipts, &QPushButton::clicked, this, &EInvoicePanel::readReceipts);
    setEditing(false);
}

void EInvoicePanel::setEditing(bool editing)
{
    m_editing = editing;
    if (m_creditNote) {
        m_creditNote->setEnabled(editing);
        m_linked->setEnabled(editing && m_creditNote->isChecked());
    }
    if (editing) {
        offerPaymentTerms(m_paymentBox);
        showInvoice(QString());
    }
}

void EInvoicePanel::creditNoteToggled(bool on)
{
    m_type->setText(on ? creditNoteType : QString());
    if (!on)
        m_linked->clear();
    m_linked->setEnabled(m_editing && on);
    if (on)
        m_linked->setFocus();
}

bool EInvoicePanel::acceptSave(const QVariant& number)
{
    if (!m_creditNote || !m_creditNote->isChecked())
        return true;
    const QString linked = m_linked->text().trimmed();
    bool ok = false;
    const qlonglong n = linked.toLongLong(&ok);
    QString refusal;
    if (linked.isEmpty()) {
        refusal = QStringLiteral("A credit note needs the number of the invoice it corrects "
                                 "(Storno fattura n.).");
    } else if (!ok || n == number.toLongLong()) {
        refusal = QStringLiteral("\"%1\" is not the number of another invoice.").arg(linked);
    } else {
        try {
            if (!m_db->scalar(QStringLiteral(R"(SELECT 1 FROM "Fatture" WHERE "Order Code" = ?)"), {n})
                     .isValid())
                refusal = QStringLiteral("There is no invoice number %1 to correct.").arg(n);
        } catch (const DbError& e) {
            msg::failed(this, QStringLiteral("Checking the corrected invoice"), e.text());
            return false;
        }
    }
    if (refusal.isEmpty())
        return true;
    msg::critical(this, refusal);
    m_linked->setFocus();
    m_linked->selectAll();
    return false;
}

void EInvoicePanel::showInvoice(const QString& number)
{
    m_shown = number;
    QString text;
    bool ok = false;
    const int n = number.toInt(&ok);
    if (ok) {
        try {
            const auto sent = einvoice::lastSending(*m_db, n);
            text = !sent ? QStringLiteral("SdI: not exported")
                         : QStringLiteral("SdI: %1 (%2)").arg(sent->state, sent->fileName);
            if (sent && !sent->message.isEmpty())
                text += QStringLiteral(" - ") + sent->message;
        } catch (const DbError&) {
            // A file without the sending log shows no state.
        }
    }
    m_state->setText(text);
    m_state->setToolTip(text);
}

void EInvoicePanel::readReceipts()
{
    const QStringList files =
        receiptHook() ? receiptHook()()
                      : QFileDialog::getOpenFileNames(this, QStringLiteral("Ricevute SdI"), QString(),
                                                      QStringLiteral("Notifiche SdI (*.xml)"));
    if (files.isEmpty())
        return;
    QStringList lines;
    bool allRead = true;
    try {
        for (const QString& file : files) {
            bool ok = false;
            lines << einvoice::applyReceiptFile(*m_db, file, &ok);
            allRead = allRead && ok;
        }
    } catch (const DbError& e) {
        msg::failed(this, QStringLiteral("Recording the notifications"), e.text());
        return;
    }
    showInvoice(m_shown);
    msg::show(this, lines.join(QLatin1Char('\n')), allRead ? msg::Icon::Information : msg::Icon::Critical);
}

// The descriptions of Pagamenti, read afresh for each invoice entered.
void EInvoicePanel::offerPaymentTerms(QLineEdit* box)
{
    if (!box)
        return;
    QStringList terms;
    try {
        terms = einvoice::paymentTermNames(*m_db);
    } catch (const DbError&) {
        return; // a file without payment terms: the box stays free text
    }
    auto* completer = box->completer();
    if (!completer) {
        completer = new QCompleter(new QStringListModel(box), box);
        completer->setObjectName(QStringLiteral("cmpPagamento"));
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        box->setCompleter(completer);
    }
    static_cast<QStringListModel*>(completer->model())->setStringList(terms);
}

} // namespace velinor
