// The boxes under a real Chinese input method: fcitx5 with its pinyin engine,
// started by this test on a session bus of its own, the window talking to it
// through Qt's fcitx input context, keys sent through the X server with
// xdotool.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "runtime/application.h"
#include "tests/support/shown_form1.h"
#include "tests/support/x_tools.h"
#include "ui/form1.h"
#include "ui/text_window.h"
#include "ui/web/engine_start.h"

extern char** environ;

namespace trelvik {
namespace {

namespace fs = std::filesystem;

constexpr int kSkipped = 77;
// Marks the run that dbus-run-session started; its value is a file that
// run creates, so the outer run can tell a bus that never came up.
constexpr char kSessionVariable[] = "TRELVIK_FCITX_SESSION";

// Starts `argv`, its output going to the file `output` when given; returns
// its process id, or 0 when it could not be started.
pid_t Spawn(const std::vector<std::string>& argv, const char* output = nullptr) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (output) {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output, O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  }
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return spawned == 0 ? pid : 0;
}

// Runs `argv` to its end; returns its exit status, 127 if it could not run.
int Run(const std::vector<std::string>& argv, const char* output = nullptr) {
  const pid_t pid = Spawn(argv, output);
  if (pid == 0) return 127;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string Contents(const fs::path& file) {
  std::ifstream in(file);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs these tests again on a session bus of their own.
int RunOnOwnBus(const std::vector<std::string>& arguments) {
  char scratch[] = "/tmp/trelvik-fcitx-XXXXXX";
  if (!mkdtemp(scratch)) return 1;
  const std::string started = std::string(scratch) + "/started";
  setenv(kSessionVariable, started.c_str(), 1);
  std::vector<std::string> command = {"dbus-run-session", "--"};
  command.push_back(fs::canonical("/proc/self/exe").string());
  command.insert(command.end(), arguments.begin() + 1, arguments.end());
  int status = Run(command);
  if (!fs::exists(started)) {
    std::fprintf(stderr, "SKIPPED: dbus-run-session could not start a session bus (status %d)\n",
                 status);
    status = kSkipped;
  }
  fs::remove_all(scratch);
  return status;
}

// fcitx5, with a profile that has the US keyboard and pinyin, as a Chinese
// user's has, in a configuration folder of its own.
class Fcitx5 {
 public:
  Fcitx5() {
    char scratch[] = "/tmp/trelvik-fcitx5-XXXXXX";
    if (!mkdtemp(scratch)) {
      failure_ = "no temporary folder";
      return;
    }
    home_ = scratch;
    fs::create_directories(home_ / "config/fcitx5");
    fs::create_directories(home_ / "data");
    std::ofstream(home_ / "config/fcitx5/profile") << R"([Groups/0]
Name=Default
Default Layout=us
DefaultIM=pinyin

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=pinyin
Layout=

[GroupOrder]
0=Default
)";
    setenv("XDG_CONFIG_HOME", (home_ / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home_ / "data").c_str(), 1);
    start();
  }
  ~Fcitx5() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (!home_.empty()) fs::remove_all(home_);
  }

  // Why it is not running, or empty.
  const std::string& failure() const { return failure_; }
  pid_t pid() const { return pid_; }

 private:
  void start() {
    // Only what the pinyin engine, its candidate window and a Qt program
    // need: nothing else of a desktop's (its clipboard history, the tray)
    // is there to interfere.
    const fs::path log = home_ / "fcitx5.log";
    pid_ = Spawn({"fcitx5", "--disable=all",
                  "--enable=dbus,dbusfrontend,xcb,keyboard,pinyin,punctuation,classicui"},
                 log.c_str());
    if (pid_ == 0) {
      failure_ = "fcitx5 could not be run";
      return;
    }
    // Asking fcitx5 itself before it owns its name would have the bus
    // start a second one: ask the bus who owns the name instead.
    const fs::path reply = home_ / "owner";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = 0;
        failure_ = "fcitx5 ended at start:\n" + Contents(log);
        return;
      }
      Run({"dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/",
           "org.freedesktop.DBus.NameHasOwner", "string:org.fcitx.Fcitx5"},
          reply.c_str());
      if (Contents(reply).find("boolean true") != std::string::npos) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    failure_ = "fcitx5 did not come up on the session bus:\n" + Contents(log);
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }

  fs::path home_;
  pid_t pid_ = 0;
  std::string failure_;
};

Fcitx5* g_fcitx5 = nullptr;

using test::RunTool;

void Xdotool(const QStringList& arguments) {
  RunTool(QStringLiteral("xdotool"), arguments);
}

void Type(const QString& keys) {
  Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), keys});
}

void Key(const QString& key) {
  Xdotool({QStringLiteral("key"), key});
}

QString Remote(const QStringList& arguments) {
  return RunTool(QStringLiteral("fcitx5-remote"), arguments);
}

// What the input method sent a box, as the box received it: its filter runs
// after this one, so the commits are the engine's own, before the key
// filter had its say.
class Composition : public QObject {
  Q_OBJECT

 public:
  explicit Composition(QLineEdit* box) : QObject(box) { box->installEventFilter(this); }

  QString preedit;       // the composing text the box shows now
  QStringList preedits;  // every composing text it was given
  QStringList commits;   // every text committed to it

  void clear() {
    preedits.clear();
    commits.clear();
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::InputMethod) {
      const auto* im = static_cast<QInputMethodEvent*>(event);
      preedit = im->preeditString();
      if (!preedit.isEmpty()) preedits << preedit;
      if (!im->commitString().isEmpty()) commits << im->commitString();
    }
    return false;
  }
};

class FcitxPinyin : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!g_fcitx5->failure().empty()) GTEST_SKIP() << g_fcitx5->failure();
    form_ = std::make_unique<Form1>(QUrl(QStringLiteral("about:blank")));
    form_->show();
    form_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    for (const char* name : {"Text1", "Text2", "Text3", "Text4"}) {
      compositions_[name] = new Composition(box(name));
    }
    ASSERT_NO_FATAL_FAILURE(focus("Text1"));
    ASSERT_NO_FATAL_FAILURE(chinese());
  }

  QLineEdit* box(const char* name) const {
    return form_->findChild<QLineEdit*>(QString::fromLatin1(name));
  }
  Composition& composition(const char* name) { return *compositions_.at(name); }

  // Puts the focus in a box and waits until the input method knows it.
  void focus(const char* name) {
    box(name)->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([] { return Remote({}) != QStringLiteral("0"); }, 20000))
        << "fcitx5 never saw a box take the focus";
  }
  void switchTo(const QString& engine) {
    Remote({QStringLiteral("-s"), engine});
    ASSERT_TRUE(QTest::qWaitFor([&] { return Remote({QStringLiteral("-n")}) == engine; }, 20000))
        << engine.toStdString();
  }
  void chinese() { switchTo(QStringLiteral("pinyin")); }

  std::unique_ptr<Form1> form_;
  std::map<std::string, Composition*> compositions_;
};

TEST_F(FcitxPinyin, TheEngineIsTheOneThisTestStarted) {
  const uint owner = QDBusConnection::sessionBus()
                         .interface()
                         ->servicePid(QStringLiteral("org.fcitx.Fcitx5"))
                         .value();
  EXPECT_EQ(owner, static_cast<uint>(g_fcitx5->pid()));
  QFile comm(QStringLiteral("/proc/%1/comm").arg(owner));
  ASSERT_TRUE(comm.open(QIODevice::ReadOnly));
  EXPECT_EQ(comm.readAll().trimmed(), QByteArray("fcitx5"));
  EXPECT_EQ(qgetenv("QT_IM_MODULE"), QByteArray("fcitx"));
}

// A Chinese word, as the engine commits it for a syllable.
constexpr char kWord[] = "a word";

struct Typing {
  const char* what;
  std::vector<const char*> keys;  // typed as text; "key" takes the next as a key name
  const char* commit;             // what the engine commits, kWord, or nullptr for nothing
  bool composes;                  // the box shows a composition on the way
  const char* text;               // what the box holds afterwards
};

void Send(const std::vector<const char*>& keys) {
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (std::string(keys[i]) == "key") {
      Key(QString::fromLatin1(keys[++i]));
    } else {
      Type(QString::fromLatin1(keys[i]));
    }
  }
}

TEST_F(FcitxPinyin, ChineseModeKeepsOutWhatTheEngineCommits) {
  const Typing rows[] = {
      {"digits go straight through", {"12"}, nullptr, false, "12"},
      // The engine keeps "." half-width after a digit, reading the box's text.
      {"a decimal point after a digit", {"1.5"}, nullptr, false, "1.5"},
      {"a word committed with space", {"ni", "key", "space"}, kWord, true, ""},
      {"a word after digits leaves the digits", {"8", "ni", "key", "space"}, kWord, true, "8"},
      {"a word chosen by its number: no digit typed", {"nihao", "1"}, kWord, true, ""},
      {"the letters themselves, committed with Enter",
       {"nihao", "key", "Return"},
       "nihao",
       true,
       ""},
      {"a full stop, made full-width", {"."}, "。", false, ""},
      {"a comma, made full-width", {","}, "，", false, ""},
      {"a composition dropped with Escape", {"ni", "key", "Escape"}, nullptr, true, ""},
  };
  const QRegularExpression word(QStringLiteral("^\\p{Han}+$"));
  QLineEdit* text1 = box("Text1");
  Composition& c = composition("Text1");
  for (const Typing& row : rows) {
    SCOPED_TRACE(row.what);
    text1->clear();
    c.clear();
    Send(row.keys);
    const QString text = QString::fromLatin1(row.text);
    const bool settled = QTest::qWaitFor(
        [&] {
          return (!row.commit || !c.commits.isEmpty()) &&
                 (!row.composes || !c.preedits.isEmpty()) && c.preedit.isEmpty() &&
                 text1->text() == text;
        },
        20000);
    EXPECT_TRUE(settled) << "box " << text1->text().toStdString() << ", composing "
                         << c.preedit.toStdString() << ", committed "
                         << c.commits.join('|').toStdString();
    if (row.commit == kWord) {
      EXPECT_TRUE(word.match(c.commits.join(QString())).hasMatch())
          << c.commits.join('|').toStdString();
    } else if (row.commit) {
      EXPECT_EQ(c.commits, QStringList{QString::fromUtf8(row.commit)});
    } else {
      EXPECT_EQ(c.commits, QStringList());
    }
  }
}

TEST_F(FcitxPinyin, NoCompositionStaysWhenTheFocusLeaves) {
  Type(QStringLiteral("8ni"));
  Composition& c = composition("Text1");
  ASSERT_TRUE(QTest::qWaitFor([&] { return c.preedit == QStringLiteral("ni"); }, 20000));
  // The user gives up on the word and clicks 计算 instead.
  auto* command1 = form_->findChild<QWidget*>(QStringLiteral("Command1"));
  const QPoint centre = command1->mapToGlobal(command1->rect().center());
  Xdotool({QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y()),
           QStringLiteral("click"), QStringLiteral("1")});
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return box("Text2")->text() == QStringLiteral("8220"); }, 20000));
  EXPECT_EQ(box("Text1")->text(), QStringLiteral("8"));
  EXPECT_EQ(c.preedit, QString());
}

TEST_F(FcitxPinyin, CtrlHOpensHelpWhileTheInputMethodIsOn) {
  const struct {
    const char* what;
    const char* typed;  // before Ctrl+H
  } rows[] = {{"nothing being composed", ""}, {"in the middle of a word", "ni"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Composition& c = composition("Text1");
    if (*row.typed) {
      Type(QString::fromLatin1(row.typed));
      ASSERT_TRUE(QTest::qWaitFor([&] { return !c.preedit.isEmpty(); }, 20000));
    }
    Key(QStringLiteral("ctrl+h"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return test::HelpWindow(*form_) && test::HelpWindow(*form_)->isVisible(); }, 20000));
    // The word in progress is committed as the focus goes to the new
    // window; the key filter keeps its letters out.
    EXPECT_TRUE(QTest::qWaitFor([&] { return c.preedit.isEmpty(); }, 20000))
        << "composing text left behind: " << c.preedit.toStdString();
    EXPECT_EQ(box("Text1")->text(), QString());

    test::HelpWindow(*form_)->close();
    form_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    focus("Text1");
    chinese();
  }
}

TEST_F(FcitxPinyin, ContextMenuPasteTakesAnyText) {
  const QString pasted = QStringLiteral("-1,5 八G");
  QApplication::clipboard()->setText(pasted);
  QLineEdit* text2 = box("Text2");
  focus("Text2");
  chinese();
  const QPoint inBox = text2->mapToGlobal(text2->rect().center());
  Xdotool({QStringLiteral("mousemove"), QString::number(inBox.x()), QString::number(inBox.y()),
           QStringLiteral("click"), QStringLiteral("3")});
  QMenu* menu = nullptr;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); }, 20000));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
  QAction* paste = nullptr;
  for (QAction* action : menu->actions()) {
    if (action->text().startsWith(QStringLiteral("粘贴"))) paste = action;
  }
  ASSERT_NE(paste, nullptr);
  const QPoint onPaste = menu->mapToGlobal(menu->actionGeometry(paste).center());
  Xdotool({QStringLiteral("mousemove"), QString::number(onPaste.x()), QString::number(onPaste.y()),
           QStringLiteral("click"), QStringLiteral("1")});
  ASSERT_TRUE(QTest::qWaitFor([&] { return text2->text() == pasted; }, 20000))
      << text2->text().toStdString();
  EXPECT_EQ(Remote({QStringLiteral("-n")}), QStringLiteral("pinyin"));
}

TEST_F(FcitxPinyin, EnglishModeTypesADecimal) {
  const struct {
    const char* what;
    std::function<void()> toEnglish;
  } rows[] = {
      {"the input method switched off", [] { Remote({QStringLiteral("-c")}); }},
      // The switch a user presses.
      {"left Shift pressed alone", [] { Key(QStringLiteral("Shift_L")); }},
  };
  QLineEdit* text3 = box("Text3");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    focus("Text3");
    chinese();
    text3->clear();
    row.toEnglish();
    ASSERT_TRUE(QTest::qWaitFor(
        [] { return Remote({QStringLiteral("-n")}) == QStringLiteral("keyboard-us"); }, 20000));
    Type(QStringLiteral("ni1.5"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return text3->text() == QStringLiteral("1.5"); }, 20000))
        << text3->text().toStdString();
    EXPECT_EQ(composition("Text3").preedit, QString());
  }
}

}  // namespace
}  // namespace trelvik

int main(int argc, char** argv) {
  // The run on the bus of its own gets the same arguments, test filter too.
  const std::vector<std::string> arguments(argv, argv + argc);
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  if (!getenv(trelvik::kSessionVariable)) {
    if (!getenv("DISPLAY") || trelvik::Run({"xdotool", "version"}, "/dev/null") != 0) {
      std::fputs("SKIPPED: needs an X display and xdotool\n", stderr);
      return trelvik::kSkipped;
    }
    return trelvik::RunOnOwnBus(arguments);
  }
  std::ofstream(getenv(trelvik::kSessionVariable)).flush();

  trelvik::Fcitx5 fcitx5;
  trelvik::g_fcitx5 = &fcitx5;
  // The window talks to the input method the way it does on a desktop with
  // fcitx5.
  setenv("QT_IM_MODULE", "fcitx", 1);
  trelvik::PrepareWebEngine();
  trelvik::runtime::Application app(argc, argv);
  return RUN_ALL_TESTS();
}

#include "input_method_test.moc"
