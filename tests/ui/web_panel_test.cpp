// The web panel with the real engine and real pages from a local server.

#include "ui/web_panel.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <memory>

#include "tests/support/expected.h"
#include "tests/support/shown_form1.h"
#include "tests/support/x_tools.h"
#include "ui/form1.h"
#include "ui/web/chromium_errors.h"
#include "ui/web/panel_note.h"

namespace trelvik {
namespace {

// Serves a folder over HTTP on 127.0.0.1 with Python's http.server; the
// cases that need it skip where there is no python3.
bool HavePython3() {
  return !QStringLiteral(TRELVIK_PYTHON3).isEmpty();
}

class LocalServer {
 public:
  explicit LocalServer(const QString& folder) {
    server_.setProgram(QStringLiteral(TRELVIK_PYTHON3));
    server_.setArguments({QStringLiteral("-u"), QStringLiteral("-m"), QStringLiteral("http.server"),
                          QStringLiteral("0"), QStringLiteral("--bind"),
                          QStringLiteral("127.0.0.1"), QStringLiteral("--directory"), folder});
    server_.start();
    const QRegularExpression portLine(QStringLiteral("port (\\d+)"));
    QString output;
    while (port_ == 0 && server_.waitForReadyRead(10000)) {
      output += QString::fromUtf8(server_.readAllStandardOutput());
      if (const auto match = portLine.match(output); match.hasMatch()) {
        port_ = match.captured(1).toInt();
      }
    }
  }
  ~LocalServer() {
    server_.kill();
    server_.waitForFinished();
  }
  QUrl url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/%2").arg(port_).arg(path));
  }
  int port() const { return port_; }

 private:
  QProcess server_;
  int port_ = 0;
};

// Records what would have gone to the desktop browser.
class DesktopBrowser : public QObject {
  Q_OBJECT
 public:
  DesktopBrowser() {
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
  }
  ~DesktopBrowser() override {
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
  }
  Q_INVOKABLE void open(const QUrl& url) { opened << url; }
  QList<QUrl> opened;
};

QString PlainText(QWebEnginePage* page) {
  QString text;
  bool done = false;
  page->toPlainText([&](const QString& t) {
    text = t;
    done = true;
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
  return text;
}

QVariant RunScript(QWebEnginePage* page, const QString& script) {
  QVariant result;
  bool done = false;
  page->runJavaScript(script, [&](const QVariant& value) {
    result = value;
    done = true;
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 10000)) << script.toStdString();
  return result;
}

class WebPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    write(QStringLiteral("qinvo.htm"),
          "<html><head><meta charset='utf-8'><title>start</title></head><body>"
          "<p id='hello'>Qinvo 首页</p>"
          "<a id='link' href='/other.htm'>other</a><br>"
          "<a id='blank' href='/new.htm' target='_blank'>new</a><br>"
          "<a id='file' href='file:///etc/hostname'>file</a></body></html>");
    write(QStringLiteral("other.htm"), "<html><body>other page</body></html>");
  }

  void write(const QString& name, const char* content) {
    QFile file(QDir(folder_.path()).filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }

  // Opens the main window on `startPage` and waits until the panel has
  // finished its first load.
  QWebEngineView* open(const QUrl& startPage) {
    form_ = test::ShowForm1(startPage);
    auto* panel = form_->findChild<WebPanel*>(QStringLiteral("WebBrowser1"));
    EXPECT_NE(panel, nullptr);
    if (!panel || !QTest::qWaitFor([&] { return panel->view() != nullptr; }, 10000)) {
      ADD_FAILURE() << "the engine did not start";
      return nullptr;
    }
    auto* view = qobject_cast<QWebEngineView*>(panel->view());
    if (!view) {
      ADD_FAILURE() << "the panel's view is no QWebEngineView";
      return nullptr;
    }
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !view->page()->isLoading() && !view->page()->url().isEmpty(); }, 30000));
    return view;
  }

  QTemporaryDir folder_;
  std::unique_ptr<Form1> form_;
};

TEST_F(WebPanelTest, StartPageIsTheSitesQinvoPage) {
  const QUrl page = StartPage();
  EXPECT_EQ(page.scheme(), QStringLiteral("http"));
  EXPECT_FALSE(page.host().isEmpty());
  EXPECT_EQ(page.path(), QStringLiteral("/qinvo.htm"));
  EXPECT_TRUE(page.query().isEmpty());
}

TEST(StartPageOfTest, KeepsHostAndPortAndAsksForQinvoOverHttp) {
  const struct {
    const char* site;
    const char* page;
  } cases[] = {
      {"http://www.qinvo.example", "http://www.qinvo.example/qinvo.htm"},
      {"https://www.qinvo.example", "http://www.qinvo.example/qinvo.htm"},
      {"http://127.0.0.1:48123", "http://127.0.0.1:48123/qinvo.htm"},
      {"http://WWW.Qinvo.Example:8080", "http://www.qinvo.example:8080/qinvo.htm"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StartPageOf(QString::fromLatin1(c.site)).toString(), QString::fromLatin1(c.page))
        << c.site;
  }
}

// What Chromium reports becomes one of the notes (the browser control's
// codes are tried under Wine); only the note for a computer without a
// network asks the user to check it, and the notes that blame the site name
// it.
TEST(PanelNoteTest, SaysWhatWentWrong) {
  using T = PanelTrouble;
  const struct {
    const char* report;
    PanelTrouble got;
    PanelTrouble wanted;
  } reports[] = {
      {"Chromium: internet disconnected", TroubleFromNetError(-106), T::Offline},
      {"Chromium: no name server answers", TroubleFromNetError(-137), T::Offline},
      {"Chromium: name not resolved", TroubleFromNetError(-105), T::HostNotFound},
      {"Chromium: connection refused", TroubleFromNetError(-102), T::SiteNotAnswering},
      {"Chromium: timed out", TroubleFromNetError(-118), T::SiteNotAnswering},
  };
  for (const auto& r : reports) EXPECT_EQ(r.got, r.wanted) << r.report;

  const QString host = QStringLiteral("www.qinvo.example");
  const struct {
    PanelTrouble trouble;
    bool asksToCheckTheNetwork;
    bool namesTheHost;
  } notes[] = {
      {T::Offline, true, false},
      {T::HostNotFound, false, true},
      {T::SiteNotAnswering, false, true},
      {T::NoEngine, false, false},
  };
  for (const auto& n : notes) {
    const QString body = PanelNoteBody(n.trouble, host);
    EXPECT_EQ(body.contains(QStringLiteral("请检查网络连接")), n.asksToCheckTheNetwork)
        << body.toStdString();
    EXPECT_EQ(body.contains(host), n.namesTheHost) << body.toStdString();
    EXPECT_TRUE(body.contains(QStringLiteral("分区计算不受影响"))) << body.toStdString();
  }
}

TEST_F(WebPanelTest, LoadsARealPage) {
  if (!HavePython3()) GTEST_SKIP() << "no python3 for the local server";
  LocalServer server(folder_.path());
  ASSERT_NE(server.port(), 0);
  QWebEngineView* view = open(server.url(QStringLiteral("qinvo.htm")));
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return view->page()->title() == QStringLiteral("start"); }, 30000));
  EXPECT_TRUE(PlainText(view->page()).contains(QStringLiteral("Qinvo 首页")));
  EXPECT_EQ(
      view->geometry().size(),
      test::PixelsOf(test::Expected()[QLatin1String("controlTwips")][QLatin1String("WebBrowser1")])
          .size());
}

TEST_F(WebPanelTest, ShowsItsOwnNoteWhenThePageCannotBeLoaded) {
  QTcpServer probe;
  ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
  const quint16 closed = probe.serverPort();
  probe.close();
  QWebEngineView* view = open(QUrl(QStringLiteral("http://127.0.0.1:%1/qinvo.htm").arg(closed)));
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return PlainText(view->page()).contains(QStringLiteral("暂时无法打开")); }, 30000));
  // The calculator does not mind.
  form_->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("8"));
  form_->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
  EXPECT_EQ(form_->findChild<QLineEdit*>(QStringLiteral("Text2"))->text(), QStringLiteral("8220"));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no message box";

  // Tab after the last button shows that the note has the focus.
  auto* command2 = form_->findChild<QPushButton*>(QStringLiteral("Command2"));
  command2->setFocus();
  QTest::keyClick(command2, Qt::Key_Tab);
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        return RunScript(view->page(), QStringLiteral("document.documentElement.className"))
                   .toString() == QStringLiteral("focused");
      },
      10000))
      << "the note shows no focus";
}

TEST_F(WebPanelTest, ServerErrorAlsoGetsTheNote) {
  if (!HavePython3()) GTEST_SKIP() << "no python3 for the local server";
  LocalServer server(folder_.path());
  QWebEngineView* view = open(server.url(QStringLiteral("missing.htm")));
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return PlainText(view->page()).contains(QStringLiteral("暂时无法打开")); }, 30000));
}

// What a rewritten page may try by itself, with nobody touching the panel:
// a window at once, a move by script, a refresh, clicks on its own links.
// The panel follows its web moves and the desktop's browser never opens.
TEST_F(WebPanelTest, ThePagesOwnMovesStayInThePanel) {
  if (!HavePython3()) GTEST_SKIP() << "no python3 for the local server";
  write(QStringLiteral("restless.htm"),
        "<html><body><script>window.open('/new.htm');"
        "setTimeout(function () { location.href = '/refresh.htm'; }, 200);</script></body></html>");
  write(QStringLiteral("refresh.htm"),
        "<html><head><meta http-equiv='refresh' content='0; url=/qinvo.htm'></head></html>");
  LocalServer server(folder_.path());
  DesktopBrowser browser;
  QWebEngineView* view = open(server.url(QStringLiteral("restless.htm")));
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return view->page()->url() == server.url(QStringLiteral("qinvo.htm")); }, 30000))
      << "the panel did not follow the page to " << view->page()->url().toString().toStdString();
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return view->page()->title() == QStringLiteral("start"); }, 30000));

  RunScript(view->page(), QStringLiteral("document.getElementById('blank').click()"));
  RunScript(view->page(), QStringLiteral("document.getElementById('link').click()"));
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return PlainText(view->page()).contains(QStringLiteral("other page")); }, 30000))
      << "the page's own click on a link did not move the panel";
  EXPECT_EQ(browser.opened, QList<QUrl>());
}

// Sends a real click, through the X server, to the element `id` of the page.
void ClickInPage(QWebEngineView* view, const char* id, int button = 1) {
  const QVariant at = RunScript(
      view->page(),
      QStringLiteral("(function () { const r = document.getElementById('%1')"
                     ".getBoundingClientRect(); return [r.x + 5, r.y + r.height / 2]; })()")
          .arg(QLatin1String(id)));
  const QVariantList xy = at.toList();
  ASSERT_EQ(xy.size(), 2) << id;
  const QPoint point = view->mapToGlobal(QPoint(xy.at(0).toInt(), xy.at(1).toInt()));
  test::RunTool(QStringLiteral("xdotool"),
                {QStringLiteral("mousemove"), QString::number(point.x()),
                 QString::number(point.y()), QStringLiteral("click"), QString::number(button)});
}

// The user's own clicks and Enter on a link open the desktop's browser, once
// each, and the panel keeps its page; a link to a local file does neither.
TEST_F(WebPanelTest, LinksTheUserFollowsOpenTheDesktopBrowserOnce) {
  if (!HavePython3()) GTEST_SKIP() << "no python3 for the local server";
  if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
    GTEST_SKIP() << "needs xdotool";
  }
  LocalServer server(folder_.path());
  DesktopBrowser browser;
  const QUrl start = server.url(QStringLiteral("qinvo.htm"));
  QWebEngineView* view = open(start);
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return view->page()->title() == QStringLiteral("start"); }, 30000));

  ClickInPage(view, "link");
  ASSERT_TRUE(QTest::qWaitFor([&] { return browser.opened.size() == 1; }, 10000));
  EXPECT_EQ(browser.opened.at(0), server.url(QStringLiteral("other.htm")));

  ClickInPage(view, "blank");
  ASSERT_TRUE(QTest::qWaitFor([&] { return browser.opened.size() == 2; }, 10000));
  EXPECT_EQ(browser.opened.at(1), server.url(QStringLiteral("new.htm")));

  RunScript(view->page(), QStringLiteral("document.getElementById('link').focus()"));
  test::RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
  ASSERT_TRUE(QTest::qWaitFor([&] { return browser.opened.size() == 3; }, 10000));
  EXPECT_EQ(browser.opened.at(2), server.url(QStringLiteral("other.htm")));

  // No browser menu on a right click.
  ClickInPage(view, "hello", 3);
  QTest::qWait(500);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "a context menu opened";

  // Once per act: the page's own click right after the user's opens nothing.
  RunScript(view->page(), QStringLiteral("document.getElementById('blank').click()"));
  ClickInPage(view, "file");
  QTest::qWait(1000);
  EXPECT_EQ(browser.opened.size(), 3);
  EXPECT_EQ(view->page()->url(), start);
  EXPECT_TRUE(PlainText(view->page()).contains(QStringLiteral("Qinvo 首页")));
}

// The menu's keys work while the page has the focus, as from the boxes: each
// shortcut triggers its entry once, and Alt and F10 lead to the menu bar.
TEST_F(WebPanelTest, MenuKeysWorkFromThePage) {
  if (!HavePython3()) GTEST_SKIP() << "no python3 for the local server";
  if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
    GTEST_SKIP() << "needs xdotool";
  }
  LocalServer server(folder_.path());
  QWebEngineView* view = open(server.url(QStringLiteral("qinvo.htm")));
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return view->page()->title() == QStringLiteral("start"); }, 30000));
  ClickInPage(view, "hello");
  auto* menuBar = form_->findChild<QMenuBar*>();
  ASSERT_NE(menuBar, nullptr);
  for (const char* name : {"帮助", "关于", "退出"}) {
    auto* action = form_->findChild<QAction*>(QString::fromUtf8(name));
    ASSERT_NE(action, nullptr) << name;
    QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
    QSignalSpy triggered(action, &QAction::triggered);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return view->isAncestorOf(QApplication::focusWidget()); }, 5000))
        << "the page has not the focus before " << name;
    test::RunTool(QStringLiteral("xdotool"),
                  {QStringLiteral("key"), action->shortcut().toString().toLower()});
    EXPECT_TRUE(QTest::qWaitFor([&] { return triggered.count() == 1; }, 5000)) << name;
    QTest::qWait(200);
    EXPECT_EQ(triggered.count(), 1) << name;
  }
  auto* text1 = form_->findChild<QLineEdit*>(QStringLiteral("Text1"));
  for (const char* key : {"alt", "F10"}) {
    for (const bool fromPage : {true, false}) {
      if (fromPage) {
        ClickInPage(view, "hello");
      } else {
        text1->setFocus();
      }
      QTest::qWait(200);
      test::RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QString::fromLatin1(key)});
      EXPECT_TRUE(QTest::qWaitFor([&] { return menuBar->activeAction() != nullptr; }, 5000))
          << key << " from the " << (fromPage ? "page" : "box") << " does not lead to the menu bar";
      test::RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")});
      QTest::qWait(200);
    }
  }
}

TEST_F(WebPanelTest, ReachedWithTabAfterTheSecondButton) {
  QWebEngineView* view = open(QUrl(QStringLiteral("about:blank")));
  ASSERT_NE(view, nullptr);
  auto* command2 = form_->findChild<QPushButton*>(QStringLiteral("Command2"));
  command2->setFocus();
  QTest::keyClick(command2, Qt::Key_Tab);
  QWidget* focus = QApplication::focusWidget();
  ASSERT_NE(focus, nullptr);
  EXPECT_TRUE(focus == view || view->isAncestorOf(focus)) << focus->metaObject()->className();
}

}  // namespace
}  // namespace trelvik

#include "web_panel_test.moc"
