#pragma once

#include <QVariant>
#include <QWidget>

class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace velinor {

class Connection;
class DataGrid;
class DataSource;
class EInvoicePanel;
class LinesGrid;
struct DocumentKind;

// frmordini and frmFatture: a document header over Fatture, its lines in
// the working table Odummy until it is saved into DettaglioFatture, the
// customer and article pick lists and the archive of saved documents.
// A saved document is only looked at here: picks, new lines, totals and
// cell edits act only on a document being entered.
class DocumentScreen : public QWidget {
    Q_OBJECT
public:
    explicit DocumentScreen(const DocumentKind& kind, QWidget* parent = nullptr);

    const DocumentKind& kind() const { return m_kind; }
    // The row of buttons under the lists, for screens that add their own.
    QHBoxLayout* buttonRow() const { return m_buttonRow; }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    // "Stampa": prints the document of the print selection.
    void print();

private:
    void makeLists();
    void buildLayout();
    void startDocument();
    void abandon();
    void pickCustomer();
    void pickArticle();
    void pickArchived();
    void selectForPrinting(); // throws DbError
    void addLine();
    void recomputeLine();
    bool computeTotals();
    void save();
    bool writeCurrentLine();
    bool clearLines();
    QString nextInvoiceNumber();
    QString newOrderNumber();
    QVariant documentNumber() const;
    void keepArchiveOrder();
    void sizeLineColumns();
    void checkPrintable();
    QString lineCell(int position) const;
    void setLineCell(int position, const QString& text);
    void failed(const QString& operation, const QString& why);

    void setEditMode();
    void setBrowseMode();
    void updateFatturaPA();

    const DocumentKind& m_kind;
    Connection& m_connection;
    DataSource* m_customers;
    DataSource* m_articles;
    DataSource* m_header;
    DataSource* m_lines;
    DataGrid* m_customerList;
    DataGrid* m_articleList;
    DataGrid* m_archive;
    LinesGrid* m_linesGrid;

    QLineEdit* m_code;
    QLineEdit* m_date;
    QLineEdit* m_customer;
    QLineEdit* m_customerCode;
    QLineEdit* m_ddt;
    QLineEdit* m_ddtDate;
    QList<QLineEdit*> m_invoiceBoxes; // payment, appearance, packages, carrier
    QLineEdit* m_taxable;
    QLineEdit* m_vat;
    QLineEdit* m_total;
    QLineEdit* m_customerMirror;
    QLineEdit* m_customerCodeMirror;
    QLineEdit* m_priceList;

    QPushButton* m_new;
    QPushButton* m_save;
    QPushButton* m_cancel;
    QPushButton* m_print;
    QPushButton* m_back;
    QPushButton* m_addLine;
    QPushButton* m_totals;
    // Invoices only (nullptr on orders): the electronic invoice of the
    // invoice picked in the archive, and the company data it carries.
    QPushButton* m_fatturaPA = nullptr;
    QPushButton* m_company = nullptr;
    EInvoicePanel* m_einvoice = nullptr;
    QString m_pickedInvoice;
    QHBoxLayout* m_buttonRow = nullptr;
    bool m_editing = false;
    bool m_selectionWritten = false; // by the save, in its own transaction
};

} // namespace velinor
