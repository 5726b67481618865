#pragma once

#include <QWidget>

namespace velinor {

// An up/down arrow pair beside a stock box. It only reports the clicks: the
// screen reads the box, counts and writes the box back.
class StepControl : public QWidget {
    Q_OBJECT
public:
    explicit StepControl(QWidget* parent = nullptr);

signals:
    void up();
    void down();
};

} // namespace velinor
