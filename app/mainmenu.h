#pragma once

#include <QWidget>

namespace velinor {

// frmMenu: the hub; each button opens a working screen.
class MainMenu : public QWidget {
    Q_OBJECT
public:
    explicit MainMenu(QWidget* parent = nullptr);
};

} // namespace velinor
