#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

namespace trelvik::test {

// Runs a tool (xdotool, xprop, wmctrl, ...) to its end while the windows go on
// taking their events, the X events the tool sends among them; returns what it
// printed, trimmed. A tool that cannot start, or does not end in time, fails
// the calling test.
inline QString RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  QElapsedTimer timer;
  timer.start();
  while (!process.waitForFinished(10) && process.state() != QProcess::NotRunning) {
    QApplication::processEvents();
    if (timer.hasExpired(30000)) {
      ADD_FAILURE() << program.toStdString() << " did not finish";
      process.kill();
      process.waitForFinished();
    }
  }
  EXPECT_NE(process.error(), QProcess::FailedToStart)
      << "cannot run " << program.toStdString() << " " << arguments.join(' ').toStdString();
  return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// Waits until the window manager has dealt with every request sent so far
// for `window`. It takes them in order, so one more whose effect shows stands
// for all before it: keeping the window above the others, and then no longer.
inline void WaitForWindowManager(const QString& window) {
  for (const bool above : {true, false}) {
    RunTool(QStringLiteral("wmctrl"),
            {QStringLiteral("-i"), QStringLiteral("-r"), window, QStringLiteral("-b"),
             above ? QStringLiteral("add,above") : QStringLiteral("remove,above")});
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
          return RunTool(QStringLiteral("xprop"),
                         {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_STATE")})
                     .contains(QStringLiteral("_NET_WM_STATE_ABOVE")) == above;
        },
        30000))
        << "the window manager never " << (above ? "kept" : "stopped keeping")
        << " the window above the others";
  }
}

}  // namespace trelvik::test
