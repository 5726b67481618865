#pragma once

#include <QString>

class QWidget;

namespace velinor {

// Creates the screen of that name. Throws DbError when its data cannot be
// read; an unknown name is a programming error.
QWidget* createScreen(const QString& name);

} // namespace velinor
