#pragma once

#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "tests/support/expected.h"
#include "ui/form1.h"
#include "ui/text_window.h"

namespace trelvik::test {

// The main window as the program starts it: loaded (the panel asked for
// `startPage`), shown, active and exposed. Activated here as well, since no
// window manager may be there to do it. A window that never comes up fails
// the calling test; check with ASSERT_NO_FATAL_FAILURE where that matters.
inline std::unique_ptr<Form1> ShowForm1(const QUrl& startPage = StartPage()) {
  auto form = std::make_unique<Form1>(startPage);
  form->load();
  form->show();
  form->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get())) << "the main window never showed";
  EXPECT_TRUE(QTest::qWaitForWindowActive(form.get())) << "the main window never became active";
  return form;
}

// The main window's Help window (titled with the caption) or About window
// (关于), once first shown; nullptr before.
inline TextWindow* TextWindowTitled(const Form1& form, const QString& title) {
  for (TextWindow* window : form.findChildren<TextWindow*>()) {
    if (window->windowTitle() == title) return window;
  }
  return nullptr;
}
inline TextWindow* HelpWindow(const Form1& form) {
  return TextWindowTitled(form, ExpectedText("caption"));
}
inline TextWindow* AboutWindow(const Form1& form) {
  return TextWindowTitled(form, QStringLiteral("关于"));
}

}  // namespace trelvik::test
