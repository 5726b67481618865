#pragma once

#include <QLabel>
#include <QString>

#include <functional>

class QLineEdit;

namespace velinor {

// A check of a typed value: an empty text when it is fine, else one
// sentence saying what is wrong (the routines of common/taxcode.h).
using ValueCheck = std::function<QString(const QString&)>;

// A small red mark shown beside a box whose text fails its check, with the
// problem as its tooltip. It only warns: nothing is refused. It follows
// every change of the box's text, typed or shown from a record. The mark
// keeps its place when hidden, so the form does not move as the user types.
class CheckMark : public QLabel {
    Q_OBJECT
public:
    // Named after the box with "Mark" added ("txtiva" gets "txtivaMark").
    CheckMark(QLineEdit* box, ValueCheck check, QWidget* parent);

    // What is wrong with the box's text; empty when nothing is.
    QString problem() const { return m_problem; }

private:
    void recheck();

    QLineEdit* m_box;
    ValueCheck m_check;
    QString m_problem;
};

} // namespace velinor
