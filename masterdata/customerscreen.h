#pragma once

#include "masterdata/maintenancescreen.h"

namespace velinor {

// frmCustomer: the customers, kept by the maintenance pattern. Name,
// address and telephone are required; the Partita IVA and the Codice
// Fiscale are checked as they are typed, with a warning only.
class CustomerScreen : public MaintenanceScreen {
    Q_OBJECT
public:
    explicit CustomerScreen(QWidget* parent = nullptr);

protected:
    void added() override;
    bool checkBeforeWrite() override;
    bool deleteRecord() override;

private slots:
    void print();

private:
    static Names names();

    QLineEdit* m_code;
    QLineEdit* m_name;
    QLineEdit* m_address;
    QLineEdit* m_phone;
};

} // namespace velinor
