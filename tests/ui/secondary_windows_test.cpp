#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <memory>

#include "tests/support/expected.h"
#include "tests/support/shown_form1.h"
#include "trelvik/build_info.h"
#include "ui/form1.h"
#include "ui/secondary_texts.h"
#include "ui/text_window.h"

namespace trelvik {
namespace {

TEST(SecondaryTexts, HelpTextCharacterForCharacter) {
  const QString help = test::ExpectedText("helpText");
  EXPECT_EQ(HelpText(), help);
  // What the expected text must keep, so that an edit of the data file does
  // not lose it: three line breaks and one lone carriage return.
  EXPECT_EQ(help.size(), 215);
  EXPECT_EQ(help.count(QLatin1Char('\r')), 4);
  EXPECT_EQ(help.count(QLatin1Char('\n')), 3);
}

TEST(SecondaryTexts, AboutTextCharacterForCharacter) {
  EXPECT_EQ(AboutText(),
            test::ExpectedText("aboutText", QString::fromLatin1(build_info::kSiteAddress)));
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
      {test::HelpWindow(*form_), test::ExpectedText("caption"), QStringLiteral("帮助"), HelpText()},
      {test::AboutWindow(*form_), QStringLiteral("关于"), QStringLiteral("关于"), AboutText()},
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
  EXPECT_TRUE(test::HelpWindow(*form_)->isVisible() && test::AboutWindow(*form_)->isVisible())
      << "both open at once";
  EXPECT_TRUE(form_->isEnabled()) << "the main window stays usable";
}

TEST_F(SecondaryWindowsTest, OneInstanceReusedAndCentredAgain) {
  choose(u"帮助");
  TextWindow* first = test::HelpWindow(*form_);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(first));
  choose(u"帮助");
  EXPECT_EQ(test::HelpWindow(*form_), first);
  EXPECT_EQ(form_->findChildren<QGroupBox*>(QStringLiteral("Frame1")).size(), 1);

  first->move(5, 5);
  first->close();
  EXPECT_FALSE(first->isVisible());
  choose(u"帮助");
  EXPECT_EQ(test::HelpWindow(*form_), first);
  EXPECT_TRUE(first->isVisible());
  const QPoint centre = QApplication::primaryScreen()->availableGeometry().center();
  EXPECT_LE((first->geometry().center() - centre).manhattanLength(), 40);
  EXPECT_EQ(first->findChild<QLabel*>(QStringLiteral("Label1"))->text(), HelpText());
}

}  // namespace
}  // namespace trelvik
