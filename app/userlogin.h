#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace velinor {

class DataSource;

// frmUser: user name and password checked against the accounts.
class UserLogin : public QWidget {
    Q_OBJECT
public:
    explicit UserLogin(QWidget* parent = nullptr);

private:
    void enter();

    DataSource* m_users;
    QLineEdit* m_username;
    QLineEdit* m_password;
    QLineEdit* m_storedUsername;
    QLineEdit* m_storedPassword;
};

} // namespace velinor
