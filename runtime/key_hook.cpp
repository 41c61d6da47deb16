#include "runtime/key_hook.h"

#include <QAction>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>

namespace trelvik::runtime {

KeyHook::KeyHook(QLineEdit* box, KeyHandler handler)
    : QObject(box), box_(box), handler_(std::move(handler)) {
  box_->installEventFilter(this);
}

bool KeyHook::eventFilter(QObject* watched, QEvent* event) {
  if (watched != box_) return false;
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      // Not accepting the override lets the shortcut go to the menu.
      return isMenuShortcut(static_cast<QKeyEvent*>(event));
    case QEvent::KeyPress:
      return filterKeyPress(static_cast<QKeyEvent*>(event));
    case QEvent::InputMethod:
      filterCommit(static_cast<QInputMethodEvent*>(event));
      return false;
    default:
      return false;
  }
}

bool KeyHook::filterKeyPress(QKeyEvent* event) {
  if (forwarding_) return false;
  switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:  // X11 gives it the text "\x7f"; it still types nothing.
      return false;
    default:
      break;
  }
  const QString typed = event->text();
  if (typed.isEmpty()) return false;
  const QString kept = filtered(typed);
  if (kept == typed) return false;
  if (!kept.isEmpty()) {
    // The handler changed a character: the box gets the changed one instead.
    QKeyEvent changed(QEvent::KeyPress, event->key(), event->modifiers(), kept,
                      event->isAutoRepeat());
    forwarding_ = true;
    QCoreApplication::sendEvent(box_, &changed);
    forwarding_ = false;
  }
  return true;
}

void KeyHook::filterCommit(QInputMethodEvent* event) {
  const QString committed = event->commitString();
  if (committed.isEmpty()) return;
  const QString kept = filtered(committed);
  if (kept != committed) {
    event->setCommitString(kept, event->replacementStart(), event->replacementLength());
  }
}

QString KeyHook::filtered(const QString& typed) {
  QString kept;
  for (const QChar c : typed) {
    KeyCode code = static_cast<KeyCode>(c.unicode());
    handler_(code);
    if (code != 0) kept.append(QChar(static_cast<char16_t>(code)));
  }
  return kept;
}

bool KeyHook::isMenuShortcut(const QKeyEvent* event) const {
  return MenuShortcut(event->keyCombination(), box_->window()) != nullptr;
}

QAction* MenuShortcut(QKeyCombination pressed, const QWidget* window) {
  const QKeySequence keys(pressed);
  for (QAction* action : window->findChildren<QAction*>()) {
    if (action->isEnabled() && action->shortcuts().contains(keys)) return action;
  }
  return nullptr;
}

}  // namespace trelvik::runtime
