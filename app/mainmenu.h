#pragma once

#include <QWidget>

namespace velinor {

// frmMenu: the hub; each button opens a working screen. Its menu bar
// copies the database file and opens the company data.
class MainMenu : public QWidget {
    Q_OBJECT
public:
    explicit MainMenu(QWidget* parent = nullptr);

private:
    void backUp();
};

} // namespace velinor
