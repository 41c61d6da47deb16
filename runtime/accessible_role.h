#pragma once

#include <QAccessible>

class QWidget;

namespace trelvik::runtime {

// Gives a widget of no more particular class the role that screen readers
// announce it by. Qt takes every plain QWidget for a "filler", which a screen
// reader passes over in silence: a window opened from the menu would not be
// read out, nor would the place the focus lands in. Call it in the widget's
// constructor, before anything has asked for the widget's accessible view.
void SetAccessibleRole(QWidget* widget, QAccessible::Role role);

}  // namespace trelvik::runtime
