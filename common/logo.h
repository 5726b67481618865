#pragma once

class QLabel;
class QWidget;

namespace velinor {

// The picture every screen shows: a small drawn logo in a label named Image1.
QLabel* makeLogo(QWidget* parent, int size = 64);

} // namespace velinor
