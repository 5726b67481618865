#pragma once

#include <QString>

class QWidget;

namespace velinor {

// Creates the screen of that name. Throws DbError when its data cannot be
// read; an unknown name is a programming error.
QWidget* createScreen(const QString& name);

// What messages call the screen of that name when its caption does not
// tell it apart (the two document screens bear the product's name); empty
// for the others.
QString screenTitle(const QString& name);

} // namespace velinor
