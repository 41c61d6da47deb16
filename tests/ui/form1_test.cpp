#include "ui/form1.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QInputMethodEvent>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/application.h"
#include "tests/support/expected.h"
#include "tests/support/shown_form1.h"
#include "tests/support/worked_values.h"

namespace trelvik {
namespace {

class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override { form_ = test::ShowForm1(); }

  template <typename T>
  T* find(const char* name) const {
    T* child = form_->findChild<T*>(QString::fromLatin1(name));
    // Thrown, so that the test stops with a failure that names the control
    // instead of crashing on it.
    if (child == nullptr) throw std::runtime_error(std::string("no control named ") + name);
    return child;
  }
  QLineEdit* box(const char* name) const { return find<QLineEdit>(name); }
  QAction* action(const char16_t* caption) const {
    return form_->findChild<QAction*>(QString::fromUtf16(caption));
  }

  // Types into a box with real key events, as a user would.
  void type(const char* name, const QString& keys) {
    QLineEdit* edit = box(name);
    edit->setFocus();
    QTest::keyClicks(edit, keys);
  }

  void click(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }

  std::unique_ptr<Form1> form_;
};

TEST_F(Form1Test, ControlsStandWhereTheDesignPutsThem) {
  const QWidget* client = form_->centralWidget();
  EXPECT_EQ(client->rect(), test::PixelsOf(test::Expected()[QLatin1String("mainClientTwips")]));
  const QJsonObject places = test::Expected()[QLatin1String("controlTwips")].toObject();
  EXPECT_EQ(places.size(), 16) << "every control of the window";
  for (auto place = places.begin(); place != places.end(); ++place) {
    const QWidget* w = find<QWidget>(place.key().toLatin1().constData());
    EXPECT_EQ(QRect(w->mapTo(client, QPoint(0, 0)), w->size()), test::PixelsOf(place.value()))
        << place.key().toStdString();
  }
  // The web panel is cut off at the right edge and covers the labels' last
  // pixel row.
  const WebPanel* panel = find<WebPanel>("WebBrowser1");
  EXPECT_STREQ(panel->metaObject()->className(), "trelvik::WebPanel");
  EXPECT_GT(panel->geometry().right(), client->rect().right());
  EXPECT_EQ(find<QLabel>("Label8")->geometry().bottom(), panel->geometry().top());
}

TEST_F(Form1Test, TextsColoursAndFonts) {
  EXPECT_EQ(form_->windowTitle(), test::ExpectedText("caption"));
  const struct {
    const char* name;
    const char16_t* text;
    QColor colour;
  } labels[] = {
      {"Label1", u"Trelvik工具", Qt::blue},
      {"Label2", u"FAT32", QColor()},
      {"Label3", u"G", Qt::red},
      {"Label4", u"M", Qt::red},
      {"Label5", u"NTFS", QColor()},
      {"Label6", u"G", Qt::red},
      {"Label7", u"M", Qt::red},
      {"Label8", u"在这里输入你想要的分区的大小(G),比如输入12,就表示12G", QColor()},
      {"Label9", u"这里显示的是转换后的大小,也就是你分区时所须要设置的分区大小(M)", QColor()},
  };
  const QColor plain = form_->palette().color(QPalette::WindowText);
  for (const auto& l : labels) {
    const QLabel* label = find<QLabel>(l.name);
    EXPECT_EQ(label->text(), QString::fromUtf16(l.text)) << l.name;
    EXPECT_EQ(label->palette().color(QPalette::WindowText), l.colour.isValid() ? l.colour : plain)
        << l.name;
    EXPECT_TRUE(label->alignment() & Qt::AlignTop) << l.name;
  }
  EXPECT_EQ(find<QLabel>("Label1")->font().pixelSize(), 16);  // 12 pt at 96 dpi
  for (const char* name : {"Command1", "Command2"}) {
    const QPushButton* button = find<QPushButton>(name);
    EXPECT_EQ(button->text(), QStringLiteral("计算"));
    EXPECT_EQ(button->font().pixelSize(), 10);  // 7.5 pt
    EXPECT_FALSE(button->isDefault());
    EXPECT_FALSE(button->autoDefault());
  }
  for (const char* name : {"Text1", "Text2", "Text3", "Text4"}) {
    const QLineEdit* edit = box(name);
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_FALSE(edit->isReadOnly());
    EXPECT_GE(edit->maxLength(), 1 << 30) << "no length limit";
    EXPECT_FALSE(edit->accessibleName().isEmpty());
    EXPECT_FALSE(edit->accessibleDescription().isEmpty());
  }
}

// Which font families actually draw a text: fallback included.
QStringList FamiliesDrawing(const QString& text, const QFont& font) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  QStringList families;
  for (const QGlyphRun& run : layout.glyphRuns()) families << run.rawFont().familyName();
  return families;
}

TEST_F(Form1Test, ChineseIsDrawnWithASimplifiedChineseFace) {
  for (const char* name : {"Label1", "Label8", "Command1"}) {
    const QWidget* w = find<QWidget>(name);
    const QString text = name[0] == 'C' ? QStringLiteral("计算") : find<QLabel>(name)->text();
    const QStringList families = FamiliesDrawing(text, w->font());
    ASSERT_FALSE(families.isEmpty()) << name;
    for (const QString& family : families) {
      EXPECT_TRUE(family.contains(QStringLiteral(" SC")) ||
                  family.contains(QStringLiteral("WenQuanYi")) ||
                  family.contains(QStringLiteral("YaHei")) || family == QStringLiteral("SimSun"))
          << name << " drawn with " << family.toStdString();
    }
  }
}

// The design's face comes first wherever it is installed; a face that is not
// installed is not asked for at all.
TEST(ChineseFont, AsksForTheInstalledFacesInOrderThenTheFallbacks) {
  const QStringList installed = QFontDatabase::families();
  ASSERT_GE(installed.size(), 2);
  const QString first = installed.last();
  const QString second = installed.first();
  const QString missing = QStringLiteral("No Such Face 4711");
  ASSERT_FALSE(installed.contains(missing));

  const QFont font = runtime::ChineseFont({missing, first, missing, second}, 13);
  const QStringList families = font.families();
  ASSERT_GE(families.size(), 2);
  EXPECT_EQ(families.at(0), first);
  EXPECT_EQ(families.at(1), second);
  EXPECT_FALSE(families.contains(missing));
  for (const QString& family : families) {
    EXPECT_TRUE(installed.contains(family, Qt::CaseInsensitive)) << family.toStdString();
  }
  EXPECT_EQ(font.pixelSize(), 13);

  // Nothing asked for that is installed: the Chinese fallbacks alone, and
  // on this machine at least one of them is there.
  const QStringList fallbacks = runtime::ChineseFont({missing}, 12).families();
  ASSERT_FALSE(fallbacks.isEmpty());
  EXPECT_EQ(runtime::ChineseFont({}, 12).families(), fallbacks);
}

TEST_F(Form1Test, TabOrderRunsThroughTheRows) {
  const char* order[] = {"Text1", "Text2", "Text3", "Text4", "Command1", "Command2"};
  box("Text1")->setFocus();
  for (std::size_t i = 1; i < std::size(order); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromLatin1(order[i]));
  }
}

TEST_F(Form1Test, KeyFilterOnEveryBox) {
  for (const char* name : {"Text1", "Text2", "Text3", "Text4"}) {
    type(name, QStringLiteral("a1-2, 3.x.4E5\t"));
    EXPECT_EQ(box(name)->text(), QStringLiteral("123..45")) << name;
    box(name)->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Space}) {
      QTest::keyClick(box(name), key);
    }
    EXPECT_EQ(box(name)->text(), QStringLiteral("123..45")) << name;
  }
}

TEST_F(Form1Test, EditingKeysStillWork) {
  type("Text1", QStringLiteral("12345"));
  QLineEdit* edit = box("Text1");
  QTest::keyClick(edit, Qt::Key_Backspace);  // 1234
  QTest::keyClick(edit, Qt::Key_Home);
  QTest::keyClick(edit, Qt::Key_Delete);  // 234
  QTest::keyClick(edit, Qt::Key_Right);
  QTest::keyClick(edit, Qt::Key_End, Qt::ShiftModifier);
  EXPECT_EQ(edit->selectedText(), QStringLiteral("34"));
  QTest::keyClick(edit, Qt::Key_Left);
  QTest::keyClicks(edit, QStringLiteral("."));
  EXPECT_EQ(edit->text(), QStringLiteral("2.34"));
}

TEST_F(Form1Test, InputMethodCommitsAreFiltered) {
  QLineEdit* edit = box("Text3");
  edit->setFocus();
  QInputMethodEvent commit;
  commit.setCommitString(QStringLiteral("８中1a.5，"));
  QApplication::sendEvent(edit, &commit);
  EXPECT_EQ(edit->text(), QStringLiteral("1.5"));

  QInputMethodEvent rejected;
  rejected.setCommitString(QStringLiteral("八"));
  QApplication::sendEvent(edit, &rejected);
  EXPECT_EQ(edit->text(), QStringLiteral("1.5"));
}

TEST_F(Form1Test, ClipboardAndUndoKeysDoNothing) {
  QClipboard* clipboard = QApplication::clipboard();
  clipboard->setText(QStringLiteral("777"));
  type("Text1", QStringLiteral("12"));
  QLineEdit* edit = box("Text1");
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard->text(), QStringLiteral("777"));
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), QStringLiteral("12"));
}

TEST_F(Form1Test, ContextMenuPasteIsNotFilteredAndReadsChinese) {
  QApplication::clipboard()->setText(QStringLiteral("-1,5 abc"));
  QLineEdit* edit = box("Text2");
  // The menu a right click opens: Qt's Chinese texts may only arrive with
  // that first menu.
  const QPoint at(5, 5);
  QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at, edit->mapToGlobal(at));
  QApplication::sendEvent(edit, &rightClick);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  QStringList captions;
  QAction* paste = nullptr;
  for (QAction* a : menu->actions()) {
    captions << a->text();
    if (a->text().startsWith(QStringLiteral("粘贴"))) paste = a;
  }
  EXPECT_TRUE(captions.join(' ').contains(QStringLiteral("粘贴")))
      << captions.join(' ').toStdString();
  EXPECT_TRUE(captions.join(' ').contains(QStringLiteral("撤销")) ||
              captions.join(' ').contains(QStringLiteral("撤消")))
      << captions.join(' ').toStdString();
  ASSERT_NE(paste, nullptr);
  paste->trigger();
  menu->close();
  EXPECT_EQ(edit->text(), QStringLiteral("-1,5 abc"));

  // Nor is there a length limit on what is pasted.
  QApplication::clipboard()->setText(QString(100000, u'9'));
  edit->clear();
  edit->paste();
  EXPECT_EQ(edit->text().size(), 100000);
}

TEST_F(Form1Test, MenuShortcutsWinOverTheBox) {
  for (const char* name : {"Text1", "Text4"}) {
    type(name, QStringLiteral("12"));
    box(name)->selectAll();
    const struct {
      const char16_t* caption;
      Qt::Key key;
    } items[] = {{u"帮助", Qt::Key_H}, {u"关于", Qt::Key_S}, {u"退出", Qt::Key_X}};
    for (const auto& item : items) {
      QAction* a = action(item.caption);
      ASSERT_NE(a, nullptr);
      // Only whether the menu gets the key matters here; ending the test
      // program's event loop would not do (the real exit is tested on the
      // program itself).
      QObject::disconnect(a, &QAction::triggered, form_.get(), nullptr);
      QSignalSpy triggered(a, &QAction::triggered);
      QTest::keyClick(box(name), item.key, Qt::ControlModifier);
      EXPECT_EQ(triggered.count(), 1) << name;
    }
    // Ctrl+X did not cut, Ctrl+H did not erase.
    EXPECT_EQ(box(name)->text(), QStringLiteral("12"));
  }
}

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

TEST_F(Form1Test, WorkedValuesThroughTheWindow) {
  std::vector<test::WorkedValue> rows(std::begin(test::kWorkedValues),
                                      std::end(test::kWorkedValues));
  // Typed as it stands: the reading stops at the second point.
  rows.push_back({"1.2.3", "1229.6", "157", "1232"});
  for (const test::WorkedValue& row : rows) {
    box("Text1")->clear();
    box("Text3")->clear();
    type("Text1", Latin1(row.gigabytes));
    type("Text3", Latin1(row.gigabytes));
    type("Text4", QStringLiteral("99"));  // typed before the click: no effect
    click("Command1");
    EXPECT_EQ(QApplication::focusWidget(), find<QWidget>("Command1"));
    click("Command2");
    EXPECT_EQ(box("Text2")->text(), Latin1(row.fat32)) << std::string(row.gigabytes);
    EXPECT_EQ(box("Text4")->text(), Latin1(row.ntfs)) << std::string(row.gigabytes);
    EXPECT_EQ(box("Text1")->text(), Latin1(row.gigabytes));
  }
}

TEST_F(Form1Test, RunTimeErrorIsShownAndTheProgramGoesOn) {
  type("Text1", QString(400, u'9'));
  box("Text2")->setText(QStringLiteral("old"));
  // Answers the message as a user would, once it shows.
  QString shown;
  QTimer watcher;
  watcher.setInterval(20);
  QObject::connect(&watcher, &QTimer::timeout, form_.get(), [&shown] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* message = qobject_cast<QMessageBox*>(w);
      if (!message || !message->isVisible()) continue;
      shown = message->windowTitle() + QLatin1Char('|') + message->text();
      QTest::keyClick(message, Qt::Key_Return);
    }
  });
  watcher.start();
  QSignalSpy clicked(find<QPushButton>("Command1"), &QPushButton::clicked);
  click("Command1");
  EXPECT_EQ(clicked.count(), 1);
  EXPECT_EQ(box("Text1")->text().size(), 400);
  EXPECT_EQ(shown, QStringLiteral("Trelvik工具|实时错误 '6':\n\n溢出"));
  EXPECT_EQ(box("Text2")->text(), QStringLiteral("old"));
  EXPECT_TRUE(form_->isVisible());

  // The window still calculates afterwards.
  box("Text1")->clear();
  type("Text1", QStringLiteral("8"));
  click("Command1");
  EXPECT_EQ(box("Text2")->text(), QStringLiteral("8220"));
}

TEST_F(Form1Test, NoMaximizeBoxAndAFixedSize) {
  const Qt::WindowFlags flags = form_->windowFlags();
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(form_->minimumSize(), form_->maximumSize());
}

}  // namespace
}  // namespace trelvik
