#pragma once

#include <QWidget>

class QLineEdit;

namespace velinor {

class DataSource;

// frmNew: adds a login account, then leads back to the login.
class NewAccount : public QWidget {
    Q_OBJECT
public:
    explicit NewAccount(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void appendPendingRow();
    void enter();
    void cancel();

    DataSource* m_entry; // the new row being typed
    DataSource* m_check; // looks for an existing account of that name
    QLineEdit* m_username;
    QLineEdit* m_password;
    QLineEdit* m_confirm;
    QLineEdit* m_existing;
};

} // namespace velinor
