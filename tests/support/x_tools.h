#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

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

}  // namespace trelvik::test
