#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace velinor {

class DataGrid;
class DataSource;

// frmCustomer: the customers, kept by the maintenance pattern. Name,
// address and telephone are required; the Partita IVA and the Codice
// Fiscale are checked as they are typed, with a warning only.
class CustomerScreen : public QWidget {
    Q_OBJECT
public:
    explicit CustomerScreen(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void print();

private:
    void addNew();
    void modify();
    void save();
    void remove();
    void failed(const QString& operation, const QString& why);

    void setEditMode();
    void setBrowseMode();
    void checkRecords();

    DataSource* m_customers;
    QLineEdit* m_code;
    QLineEdit* m_name;
    QLineEdit* m_address;
    QLineEdit* m_phone;
    DataGrid* m_list;
    QPushButton* m_new;
    QPushButton* m_modify;
    QPushButton* m_save;
    QPushButton* m_cancel;
    QPushButton* m_delete;
    QPushButton* m_back;
    QPushButton* m_report;
    bool m_editing = false;
};

} // namespace velinor
