#pragma once

#include "masterdata/maintenancescreen.h"

namespace velinor {

class StepControl;

// frmTire: the articles, kept by the maintenance pattern. Group, VAT rate
// and unit are picked from the three lookup lists; saving reminds of stock
// outside its limits.
class ArticleScreen : public MaintenanceScreen {
    Q_OBJECT
public:
    explicit ArticleScreen(QWidget* parent = nullptr);

protected:
    void added() override;
    bool checkBeforeWrite() override;
    void written() override;

private:
    // A lookup list, the hidden box that mirrors its current key, the
    // article box it fills and the button that opens its screen.
    struct Pick {
        DataGrid* list;
        QLineEdit* mirror;
        QLineEdit* box;
        QPushButton* add;
    };

    static Names names();
    Pick makePick(int index, QWidget* parent);
    void print();
    void remindStock();
    void stepUp(QLineEdit* box);
    void stepDown(QLineEdit* box);

    DataSource* m_articles;
    DataSource* m_lookups[3];
    QLineEdit* m_code;
    QLineEdit* m_description;
    QLineEdit* m_prices[3];
    QLineEdit* m_quantity;
    QLineEdit* m_min;
    QLineEdit* m_max;
    StepControl* m_steps[3];
    Pick m_picks[3];
    DataGrid* m_list;
    QPushButton* m_report;
};

} // namespace velinor
