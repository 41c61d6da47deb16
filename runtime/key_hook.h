#pragma once

#include <QObject>
#include <cstdint>
#include <functional>

class QAction;
class QLineEdit;
class QWidget;
class QKeyEvent;
class QInputMethodEvent;

namespace trelvik::runtime {

// The enabled action of `window` (its menu entries and keys) whose shortcut
// is `pressed`, or nullptr.
QAction* MenuShortcut(QKeyCombination pressed, const QWidget* window);

// A typed character's code, as a signed 16-bit value; a handler that sets it
// to 0 keeps the character out of the box.
using KeyCode = std::int16_t;
using KeyHandler = std::function<void(KeyCode& code)>;

// Hands every character typed into a line edit to `handler` before the box
// sees it: key presses that produce a character (backspace and control
// characters included) and text committed by an input method alike. Keys
// that produce no character (Delete, arrows, Home, End, Tab) pass untouched,
// and so does text pasted from the box's own menu, which is not typed.
//
// The window's menu shortcuts win over the box's own key bindings, so that
// Ctrl+X ends the program even while the focus is in a box.
class KeyHook : public QObject {
  Q_OBJECT

 public:
  KeyHook(QLineEdit* box, KeyHandler handler);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool filterKeyPress(QKeyEvent* event);
  void filterCommit(QInputMethodEvent* event);
  // The typed text after the handler saw each character.
  QString filtered(const QString& typed);
  bool isMenuShortcut(const QKeyEvent* event) const;

  QLineEdit* box_;
  KeyHandler handler_;
  bool forwarding_ = false;
};

}  // namespace trelvik::runtime
