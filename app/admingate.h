#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace velinor {

// frmAdmin: the first screen. Only the empty administrator password opens
// the user login.
class AdminGate : public QWidget {
    Q_OBJECT
public:
    explicit AdminGate(QWidget* parent = nullptr);

private:
    void enter();

    QLineEdit* m_password;
    QPushButton* m_enter;
};

} // namespace velinor
