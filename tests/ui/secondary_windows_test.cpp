#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <memory>

#include "tests/support/shown_form1.h"
#include "trelvik/build_info.h"
#include "ui/form1.h"
#include "ui/secondary_texts.h"
#include "ui/text_window.h"

namespace trelvik {
namespace {

TEST(SecondaryTexts, HelpTextCharacterForCharacter) {
  const QString text = HelpText();
  EXPECT_EQ(text.size(), 215);
  const QStringList lines = text.split(QStringLiteral("\r\n"));
  ASSERT_EQ(lines.size(), 4);
  EXPECT_EQ(lines[0],
            QStringLiteral("本程序主要是方便那些常常做系统而又不喜欢看到分区大小如:(8.61G)(24.6G)"
                           "等朋友使用"));
  EXPECT_EQ(lines[1], QStringLiteral("在左边的文本框里面输入你想要的分区大小如  \r8  "
                                     "这里是默认为GB,再点击计算按钮,程序会帮你算出结果,"
                                     "结果会在右边的文本框里面显示,默认为MB"));
  EXPECT_EQ(lines[2], QString(41, u' ') + QStringLiteral("8  计算后结果是 8220"));
  EXPECT_EQ(lines[3],
            QStringLiteral("分区的时候大小设置成8220的话,你就会得到一个大小为8G的准确分区"));
  EXPECT_EQ(text.count(QLatin1Char('\r')), 4) << "three line breaks and one lone carriage return";
  EXPECT_FALSE(text.endsWith(QLatin1Char('\n')));
}

TEST(SecondaryTexts, AboutTextShape) {
  const QString text = AboutText();
  const QStringList lines = text.split(QStringLiteral("\r\n"));
  ASSERT_EQ(lines.size(), 3);
  const QString site = QString::fromLatin1(build_info::kSiteAddress);

  EXPECT_TRUE(lines[0].startsWith(QString(44, u' ') + QStringLiteral("岚山客")));
  EXPECT_NE(lines[0].at(44), u' ');
  EXPECT_TRUE(lines[0].endsWith(QStringLiteral("（Qinvo ") + site + QStringLiteral("）;")));

  EXPECT_EQ(lines[1], QString(45, u' ') +
                          QStringLiteral("Trelvik助手1.2,这个小程序无技术可言，只是为了方便,"
                                         "请求大家在传播的过程中不要捆绑病毒和插件。") +
                          QString(51, u' '));
  EXPECT_EQ(lines[2], QStringLiteral("--岚山客 QQ:10000000 Email:lanshanke@qinvo.example"));
  EXPECT_FALSE(text.contains(QLatin1Char('\r') + QString(QLatin1Char('\r'))));
}

class SecondaryWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override { form_ = test::ShowForm1(QUrl(QStringLiteral("about:blank"))); }
  void choose(const char16_t* caption) {
    form_->findChild<QAction*>(QString::fromUtf16(caption))->trigger();
  }
  std::unique_ptr<Form1> form_;
};

TEST_F(SecondaryWindowsTest, FrameCaptionsGeometryAndText) {
  choose(u"帮助");
  choose(u"关于");
  const struct {
    TextWindow* window;
    QString caption, frameCaption, text;
  } rows[] = {
      {form_->helpWindow(), QStringLiteral("Trelvik工具1.2"), QStringLiteral("帮助"), HelpText()},
      {form_->aboutWindow(), QStringLiteral("关于"), QStringLiteral("关于"), AboutText()},
  };
  for (const auto& row : rows) {
    ASSERT_NE(row.window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(row.window));
    EXPECT_EQ(row.window->windowTitle(), row.caption);
    EXPECT_EQ(row.window->size(), QSize(4680 / 15, 3105 / 15));
    EXPECT_EQ(row.window->minimumSize(), row.window->maximumSize()) << "fixed size";
    const Qt::WindowFlags flags = row.window->windowFlags();
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(row.window->parentWidget(), form_.get()) << "owned by the main window";
    EXPECT_FALSE(row.window->isModal());

    const auto* frame = row.window->findChild<QGroupBox*>(QStringLiteral("Frame1"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), row.frameCaption);
    EXPECT_EQ(frame->geometry(), QRect(240 / 15, 240 / 15, 4095 / 15, 2535 / 15));
    const auto* label = frame->findChild<QLabel*>(QStringLiteral("Label1"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->geometry(), QRect(240 / 15, 240 / 15, 3615 / 15, 2055 / 15));
    EXPECT_EQ(label->text(), row.text);
  }
  EXPECT_TRUE(form_->helpWindow()->isVisible() && form_->aboutWindow()->isVisible())
      << "both open at once";
  EXPECT_TRUE(form_->isEnabled()) << "the main window stays usable";
}

TEST_F(SecondaryWindowsTest, OneInstanceReusedAndCentredAgain) {
  choose(u"帮助");
  TextWindow* first = form_->helpWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(first));
  choose(u"帮助");
  EXPECT_EQ(form_->helpWindow(), first);
  EXPECT_EQ(form_->findChildren<QGroupBox*>(QStringLiteral("Frame1")).size(), 1);

  first->move(5, 5);
  first->close();
  EXPECT_FALSE(first->isVisible());
  choose(u"帮助");
  EXPECT_EQ(form_->helpWindow(), first);
  EXPECT_TRUE(first->isVisible());
  const QPoint centre = QApplication::primaryScreen()->availableGeometry().center();
  EXPECT_LE((first->geometry().center() - centre).manhattanLength(), 40);
  EXPECT_EQ(first->findChild<QLabel*>(QStringLiteral("Label1"))->text(), HelpText());
}

}  // namespace
}  // namespace trelvik
