#pragma once

#include <QWidget>

namespace velinor {

// A screen that is not built yet: its caption and a way back to the menu.
class StandIn : public QWidget {
    Q_OBJECT
public:
    StandIn(const QString& name, const QString& caption, QWidget* parent = nullptr);
};

} // namespace velinor
