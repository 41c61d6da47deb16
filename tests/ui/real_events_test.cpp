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
}

// How long a state may take to come on a loaded machine.
constexpr int kPatience = 30000;

TEST(RealEvents, TypingClickingAndShortcutsInTheWindow) {
  if (!HaveX11Tools()) GTEST_SKIP() << "needs an X display and xdotool";
  const std::unique_ptr<Form1> shown = test::ShowForm1();
  ASSERT_TRUE(shown->isActiveWindow());
  Form1& form = *shown;
  auto* text1 = form.findChild<QLineEdit*>(QStringLiteral("Text1"));
  auto* text2 = form.findChild<QLineEdit*>(QStringLiteral("Text2"));
  text1->setFocus();

  // The last key is one the filter lets through, so that its arrival
  // shows that every key before it has been dealt with.
  Xdotool({QStringLiteral("type"), QStringLiteral("a8-, x.")});
  EXPECT_TRUE(QTest::qWaitFor([&] { return text1->text().endsWith(QLatin1Char('.')); }, kPatience))
      << "the typed keys never arrived";
  EXPECT_EQ(text1->text(), QStringLiteral("8."));

  auto* help = form.findChild<QAction*>(QStringLiteral("帮助"));
  QObject::disconnect(help, &QAction::triggered, &form, nullptr);
  QSignalSpy helpTriggered(help, &QAction::triggered);
  Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+h")});
  EXPECT_TRUE(QTest::qWaitFor([&] { return helpTriggered.count() > 0; }, kPatience))
      << "Ctrl+H never reached 帮助";
  EXPECT_EQ(helpTriggered.count(), 1);
  EXPECT_EQ(text1->text(), QStringLiteral("8."));

  auto* button = form.findChild<QPushButton*>(QStringLiteral("Command1"));
  const QPoint centre = button->mapToGlobal(button->rect().center());
  Xdotool({QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y()),
           QStringLiteral("click"), QStringLiteral("1")});
  EXPECT_TRUE(QTest::qWaitFor([&] { return !text2->text().isEmpty(); }, kPatience))
      << "the click never reached 计算";
  EXPECT_EQ(text2->text(), QStringLiteral("8220"));
  EXPECT_EQ(QApplication::focusWidget(), button);
}

// Polls `state` until it gives something true, within `patience` ms; a state
// that never comes fails the calling test, naming `what`.
template <typename State>
bool WaitFor(State state, const char* what, int patience = kPatience) {
  const bool came = QTest::qWaitFor(state, patience);
  EXPECT_TRUE(came) << "timed out waiting for " << what;
  return came;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveX11Tools()) GTEST_SKIP() << "needs an X display and xdotool";
    program_.start(QStringLiteral(TRELVIK_PROGRAM), {});
    ASSERT_TRUE(program_.waitForStarted());
    ASSERT_TRUE(WaitFor([&] { return !(window_ = mainWindow()).isEmpty(); },
                        "the program's main window on the screen", 2 * kPatience));
    ASSERT_TRUE(activate(window_));
  }
  void TearDown() override {
    if (program_.state() != QProcess::NotRunning) {
      program_.kill();
      program_.waitForFinished();
    }
  }

  // The program's visible windows whose title matches the pattern `title`.
  QStringList programWindows(const QString& title = QStringLiteral(".")) const {
    return RunTool(
               QStringLiteral("xdotool"),
               {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                QString::number(program_.processId()), QStringLiteral("--name"), title})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }
  QString mainWindow() const {
    return programWindows(QStringLiteral("^%1$").arg(test::ExpectedText("caption"))).value(0);
  }
  // Activates `window` and waits until the window manager has made it the
  // active one, so that keys sent next go to it.
  bool activate(const QString& window) {
    RunTool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), window});
    return WaitFor(
        [&] {
          return RunTool(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}) == window;
        },
        "the window to become active");
  }
  bool ended() { return program_.waitForFinished(kPatience); }

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
  WaitFor(
      [&] {
        icons = RunTool(QStringLiteral("xprop"),
                        {QStringLiteral("-id"), window_, QStringLiteral("_NET_WM_ICON")});
        return icons.contains(QStringLiteral("Icon (16 x 16)"));
      },
      "the title bar's icon");
  EXPECT_TRUE(icons.contains(QStringLiteral("Icon (16 x 16)"))) << icons.left(200).toStdString();
  EXPECT_TRUE(icons.contains(QStringLiteral("Icon (32 x 32)"))) << icons.left(200).toStdString();
}

TEST_F(ProgramTest, CtrlXEndsTheProgramFromInsideABox) {
  // The focus starts in the FAT32 box: what is typed lands there.
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("12")});
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+x")});
  ASSERT_TRUE(ended());
  EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program_.exitCode(), 0);
}

TEST_F(ProgramTest, HelpAndAboutMinimizeAndRestoreWithTheMainWindow) {
  const auto mapStates = [](const QStringList& windows) {
    QStringList states;
    for (const QString& window : windows) {
      states << RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window})
                    .section(QStringLiteral("Map State: "), 1, 1)
                    .section(QLatin1Char('\n'), 0, 0);
    }
    return states;
  };
  const auto owned = [this] {
    QStringList windows = programWindows();
    windows.removeAll(window_);
    return windows;
  };
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+h")});
  ASSERT_TRUE(WaitFor([&] { return owned().size() == 1; }, "the Help window"));
  ASSERT_TRUE(activate(window_));
  RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+s")});
  ASSERT_TRUE(WaitFor([&] { return owned().size() == 2; }, "the About window beside Help"));
  const QStringList helpAndAbout = owned();

  RunTool(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), window_});
  const QStringList unmapped(2, QStringLiteral("IsUnMapped"));
  WaitFor([&] { return mapStates(helpAndAbout) == unmapped; },
          "Help and About to be minimized with the main window");
  EXPECT_EQ(mapStates(helpAndAbout), unmapped);

  RunTool(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-a"), window_});
  const QStringList viewable(2, QStringLiteral("IsViewable"));
  WaitFor([&] { return mapStates(helpAndAbout) == viewable; },
          "Help and About to be restored with the main window");
  EXPECT_EQ(mapStates(helpAndAbout), viewable);
}

TEST_F(ProgramTest, ClosingTheWindowEndsTheProgram) {
  RunTool(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-c"), window_});
  ASSERT_TRUE(ended());
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
  test::WaitForWindowManager(window_);
  EXPECT_EQ(geometry(), before);
}

}  // namespace
}  // namespace trelvik
