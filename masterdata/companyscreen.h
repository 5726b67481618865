#pragma once

#include <QList>
#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velinor {

class Database;

namespace einvoice {
struct Company;
}

// frmAzienda: the seller's data that electronic invoices carry, the one row
// of Azienda. Opened over the menu or the invoice screen, which stays open;
// it closes with the last screen beneath it. Shows what
// still keeps an export from going through while the user types.
class CompanyScreen : public QWidget {
    Q_OBJECT
public:
    // Throws DbError when the file cannot be read, or lacks the table (the
    // text then names the upgrade command).
    explicit CompanyScreen(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* addBox(const char* field);
    QLineEdit* box(const QString& field) const;
    void load();
    void save();
    einvoice::Company typed() const;
    void showProblems();

    std::shared_ptr<Database> m_db;
    QList<QLineEdit*> m_boxes; // in the order of einvoice::Company's fields, but the regime
    QComboBox* m_regime;
    QCheckBox* m_bollo;
    QLabel* m_problems;
    QPushButton* m_save;
    QPushButton* m_cancel;
};

} // namespace velinor
