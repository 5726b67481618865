#pragma once

#include "masterdata/maintenancescreen.h"


namespace velinor {

// frmPagamenti: the payment terms an invoice's Pagamento may name, kept by
// the maintenance pattern: a description (the key), the modality MP01 ...
// MP23, the days to the due date and whether it then moves to the end of
// the month. Reached from the main menu.
class PaymentScreen : public MaintenanceScreen {
    Q_OBJECT
public:
    explicit PaymentScreen(QWidget* parent = nullptr);

protected:
    bool checkBeforeWrite() override;

private:
    // Empty when the boxes make a term the file can carry; else why not.
    QString problem();

    QLineEdit* m_description;
    QLineEdit* m_modality;
    QLineEdit* m_days;
    QLineEdit* m_endOfMonth;
};

} // namespace velinor
