// Real key and mouse events, sent through the X server with xdotool, to this
// test's own window and to the program itself.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <memory>

#include "tests/support/expected.h"
#include "tests/support/shown_form1.h"
#include "tests/support/x_tools.h"
#include "ui/form1.h"

namespace trelvik {
namespace {

bool HaveX11Tools() {
  return QGuiApplication::platformName() == QStringLiteral("xcb") &&
         !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty();
}

using test::RunTool;

// Sends real X events while Qt keeps processing its own.
void Xdotool(const QStringList& arguments) {
  RunTool(QStringLiteral("xdotool"), arguments);
  QTest::qWait(100);
}

TEST(RealEvents, TypingClickingAndShortcutsInTheWindow) {
  if (!HaveX11Tools()) GTEST_SKIP() << "needs an X display and xdotool";
  const std::unique_ptr<Form1> shown = test::ShowForm1();
  ASSERT_TRUE(shown->isActiveWindow());
  Form1& form = *shown;
  auto* text1 = form.findChild<QLineEdit*>(QStringLiteral("Text1"));
  auto* text2 = form.findChild<QLineEdit*>(QStringLiteral("Text2"));
  text1->setFocus();

  Xdotool({QStringLiteral("type"), QStringLiteral("a8-, x")});
  EXPECT_EQ(text1->text(), QStringLiteral("8"));

  auto* help = form.findChild<QAction*>(QStringLiteral("帮助"));
  QObject::disconnect(help, &QAction::triggered, &form, nullptr);
  QSignalSpy helpTriggered(help, &QAction::triggered);
  Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+h")});
  EXPECT_EQ(helpTriggered.count(), 1);
  EXPECT_EQ(text1->text(), QStringLiteral("8"));

  auto* button = form.findChild<QPushButton*>(QStringLiteral("Command1"));
  const QPoint centre = button->mapToGlobal(button->rect().center());
  Xdotool({QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y()),
           QStringLiteral("click"), QStringLiteral("1")});
  EXPECT_EQ(text2->text(), QStringLiteral("8220"));
  EXPECT_EQ(QApplication::focusWidget(), button);
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveX11Tools()) GTEST_SKIP() << "needs an X display and xdotool";
    program_.start(QStringLiteral(TRELVIK_PROGRAM), {});
    ASSERT_TRUE(program_.waitForStarted());
    window_ = RunTool(QStringLiteral("xdotool"),
                      {QStringLiteral("search"), QStringLiteral("--sync"),
                       QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                       QString::number(program_.processId()), QStringLiteral("--name"),
                       test::ExpectedText("caption")})
                  .section(QLatin1Char('\n'), 0, 0);
    ASSERT_FALSE(window_.isEmpty());
    RunTool(QStringLiteral("xdotool"),
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window_});
  }
  void TearDown() override {
    if (program_.state() != QProcess::NotRunning) {
      program_.kill();
      program_.waitForFinished();
    }
  }

  QProcess program_;
  QString window_;
};

// The program gives its window the icon just after the first paint: the
// title bar has both drawn sizes a moment after the window appears.
TEST_F(ProgramTest, TitleBarGetsBothDrawnIconSizes) {
  if (QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty()) {
    GTEST_SKIP() << "needs xprop";
  }
  QString icons;
  for (int tries = 0; tries < 100; ++tries) {
    icons = RunTool(QStringLiteral("xprop"),
                    {QStringLiteral("-id"), window_, QStringLiteral("_NET_WM_ICON")});
    if (icons.contains(QStringLiteral("Icon (16 x 16)"))) break;
    QTest::qWait(50);
  }
  EXPECT_TRUE(icons.contains(QStringLiteral("Icon (16 x 16)"))) << icons.left(200).toStdString();
  EXPECT_TRUE(icons.contains(QStringLiteral("Icon (32 x 32)"))) << icons.left(200).toStdString();
}

TEST_F(ProgramTest, CtrlXEndsTheProgramFromInsideABox) {
  // The focus starts in the FAT32 box: what is typed lands there.
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("12")});
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+x")});
  ASSERT_TRUE(program_.waitForFinished(5000));
  EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program_.exitCode(), 0);
}

TEST_F(ProgramTest, HelpAndAboutMinimizeAndRestoreWithTheMainWindow) {
  const auto mapState = [](const QString& window) {
    return RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window})
        .section(QStringLiteral("Map State: "), 1, 1)
        .section(QLatin1Char('\n'), 0, 0);
  };
  const auto programWindows = [this] {
    return RunTool(QStringLiteral("xdotool"),
                   {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                    QStringLiteral("--pid"), QString::number(program_.processId()),
                    QStringLiteral("--name"), QStringLiteral(".")})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  };
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+h")});
  RunTool(QStringLiteral("xdotool"),
          {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window_});
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+s")});
  QTest::qWait(1000);
  QStringList owned = programWindows();
  owned.removeAll(window_);
  ASSERT_EQ(owned.size(), 2) << "Help and About both open";

  RunTool(QStringLiteral("xdotool"),
          {QStringLiteral("windowminimize"), QStringLiteral("--sync"), window_});
  QTest::qWait(500);
  for (const QString& window : owned) EXPECT_EQ(mapState(window), QStringLiteral("IsUnMapped"));

  RunTool(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-a"), window_});
  QTest::qWait(500);
  for (const QString& window : owned) EXPECT_EQ(mapState(window), QStringLiteral("IsViewable"));
}

TEST_F(ProgramTest, ClosingTheWindowEndsTheProgram) {
  RunTool(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-c"), window_});
  ASSERT_TRUE(program_.waitForFinished(5000));
  EXPECT_EQ(program_.exitCode(), 0);
}

TEST_F(ProgramTest, TheWindowManagerCannotMaximizeIt) {
  const auto geometry = [this] {
    return RunTool(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), window_})
        .section(QLatin1Char('\n'), 2, 2);
  };
  const QString before = geometry();
  RunTool(QStringLiteral("wmctrl"),
          {QStringLiteral("-i"), QStringLiteral("-r"), window_, QStringLiteral("-b"),
           QStringLiteral("add,maximized_vert,maximized_horz")});
  QTest::qWait(300);
  EXPECT_EQ(geometry(), before);
}

}  // namespace
}  // namespace trelvik
