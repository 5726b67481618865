#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace velinor {

class DataGrid;
class DataSource;
class StepControl;

// frmTire: the articles, kept by the maintenance pattern. Group, VAT rate
// and unit are picked from the three lookup lists; saving reminds of stock
// outside its limits.
class ArticleScreen : public QWidget {
    Q_OBJECT
public:
    explicit ArticleScreen(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // A lookup list, the hidden box that mirrors its current key, the
    // article box it fills and the button that opens its screen.
    struct Pick {
        DataGrid* list;
        QLineEdit* mirror;
        QLineEdit* box;
        QPushButton* add;
    };

    Pick makePick(int index, QWidget* parent);
    void addNew();
    void modify();
    void save();
    void remove();
    void print();
    void remindStock();
    void stepUp(QLineEdit* box);
    void stepDown(QLineEdit* box);
    void failed(const QString& operation, const QString& why);

    void setEditMode();
    void setBrowseMode();
    void checkRecords();

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
