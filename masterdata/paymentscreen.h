#pragma once

#include <QWidget>

#include <optional>

class QLineEdit;
class QPushButton;

namespace velinor {

class DataGrid;
class DataSource;

// frmPagamenti: the payment terms an invoice's Pagamento may name, kept by
// the maintenance pattern as the customers screen keeps customers: a
// description (the key), the modality MP01 ... MP23, the days to the due
// date and whether it then moves to the end of the month. Reached from the
// main menu.
class PaymentScreen : public QWidget {
    Q_OBJECT
public:
    explicit PaymentScreen(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void addNew();
    void modify();
    void save();
    void remove();
    // Empty when the boxes make a term the file can carry; else why not.
    QString problem();

    void setEditMode();
    void setBrowseMode();
    void checkRecords();

    DataSource* m_terms;
    QList<QLineEdit*> m_boxes; // description, modality, days, end of month
    DataGrid* m_list;
    QPushButton* m_new;
    QPushButton* m_modify;
    QPushButton* m_save;
    QPushButton* m_cancel;
    QPushButton* m_delete;
    QPushButton* m_back;
    // The description as Modify found it: keeping it is no duplicate.
    std::optional<QString> m_remembered;
    bool m_editing = false;
};

} // namespace velinor
