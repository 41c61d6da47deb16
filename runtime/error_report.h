#pragma once

#include <exception>
#include <utility>

#include "core/runtime_error.h"

class QWidget;

namespace trelvik::runtime {

// Shows the modal message that names a run-time error, over `parent`.
void ShowRuntimeError(QWidget* parent, const RuntimeError& error);

// Runs an event handler. A run-time error it raises abandons the handler
// where it stood (what it wrote so far stays) and is shown to the user; the
// program goes on, since a calculation that went out of range is no reason
// to lose the user's window.
template <typename Handler>
void RunHandler(QWidget* parent, Handler&& handler) {
  try {
    std::forward<Handler>(handler)();
  } catch (const RuntimeError& error) {
    ShowRuntimeError(parent, error);
  }
}

}  // namespace trelvik::runtime
