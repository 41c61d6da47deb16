// The web panel with the real engine and real pages from a local server.

#include "ui/web_panel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <memory>

#include "tests/support/expected.h"
#include "tests/support/shown_form1.h"
#include "ui/form1.h"
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

void RunScript(QWebEnginePage* page, const QString& script) {
  bool done = false;
  page->runJavaScript(script, [&](const QVariant&) { done = true; });
  EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
}

class WebPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    write(QStringLiteral("qinvo.htm"),
          "<html><head><meta charset='utf-8'><title>start</title></head><body>"
          "<p id='hello'>Qinvo 首页</p>"
          "<a id='link' href='/other.htm'>other</a> "
          "<a id='blank' href='/new.htm' target='_blank'>new</a> "
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

// What each engine reports becomes one of the notes; only the note for a
// computer without a network asks the user to check it, and the notes that
// blame the site name it.
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
      {"control: server not found", TroubleFromNavigateError(0x800C0005L, true), T::HostNotFound},
      {"control: server not found, offline", TroubleFromNavigateError(0x800C0005L, false),
       T::Offline},
      {"control: download failed", TroubleFromNavigateError(0x800C0008L, true),
       T::SiteNotAnswering},
      {"control: HTTP 404", TroubleFromNavigateError(404, true), T::SiteNotAnswering},
      {"control: timed out, offline", TroubleFromNavigateError(0x800C000BL, false), T::Offline},
      {"control: nothing to draw with", TroubleFromNavigateError(0x800C0010L, true), T::NoEngine},
      {"control: nothing to draw with, offline", TroubleFromNavigateError(0x800C0010L, false),
       T::NoEngine},
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
    EXPECT_EQ(body.contains(QStringLiteral("请检查网络连接")), n.asksToCheckTheNetwork) << body.toStdString();
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
}

TEST_F(WebPanelTest, ServerErrorAlsoGetsTheNote) {
  if (!HavePython3()) GTEST_SKIP() << "no python3 for the local server";
  LocalServer server(folder_.path());
  QWebEngineView* view = open(server.url(QStringLiteral("missing.htm")));
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return PlainText(view->page()).contains(QStringLiteral("暂时无法打开")); }, 30000));
}

TEST_F(WebPanelTest, LinksGoToTheDesktopBrowserAndThePanelStays) {
  if (!HavePython3()) GTEST_SKIP() << "no python3 for the local server";
  LocalServer server(folder_.path());
  DesktopBrowser browser;
  const QUrl start = server.url(QStringLiteral("qinvo.htm"));
  QWebEngineView* view = open(start);
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return view->page()->title() == QStringLiteral("start"); }, 30000));

  RunScript(view->page(), QStringLiteral("document.getElementById('link').click()"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return browser.opened.size() == 1; }, 10000));
  EXPECT_EQ(browser.opened.at(0), server.url(QStringLiteral("other.htm")));

  RunScript(view->page(), QStringLiteral("document.getElementById('blank').click()"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return browser.opened.size() == 2; }, 10000));
  EXPECT_EQ(browser.opened.at(1), server.url(QStringLiteral("new.htm")));

  // A link to a local file is neither followed nor handed on.
  RunScript(view->page(), QStringLiteral("document.getElementById('file').click()"));
  QTest::qWait(500);
  EXPECT_EQ(browser.opened.size(), 2);
  EXPECT_EQ(view->page()->url(), start);
  EXPECT_TRUE(PlainText(view->page()).contains(QStringLiteral("Qinvo 首页")));
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
