#include "ui/form1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <limits>

#include "core/filter_key.h"
#include "core/partition_size.h"
#include "runtime/application.h"
#include "runtime/error_report.h"
#include "runtime/key_hook.h"
#include "trelvik/build_info.h"
#include "ui/fixed_size_frame.h"
#include "ui/line_edit_box.h"
#include "ui/secondary_texts.h"
#include "ui/text_window.h"
#include "ui/twips.h"
#include "ui/wrapped_label.h"

namespace trelvik {
namespace {

// Colours as the design gives them: 0x00BBGGRR.
QColor FromBgr(unsigned bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// The client area, below the menu bar.
constexpr int kClientWidth = 6000;
constexpr int kClientHeight = 3870;

const QString kCaption =
    QStringLiteral("Trelvik工具") + QString::fromLatin1(build_info::kCaptionVersion);
const QStringList kYaHei = {QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei")};

enum class Look { Plain, Title, Red };

struct LabelRow {
  const char* name;
  const char16_t* text;
  Twips place;
  Look look;
  bool wraps;
};

const LabelRow kLabels[] = {
    {"Label1", u"Trelvik工具", {1680, 0, 2535, 375}, Look::Title, false},
    {"Label2", u"FAT32", {480, 720, 495, 255}, Look::Plain, false},
    {"Label3", u"G", {2640, 720, 135, 255}, Look::Red, false},
    {"Label4", u"M", {5160, 720, 135, 255}, Look::Red, false},
    {"Label5", u"NTFS", {480, 1320, 495, 255}, Look::Plain, false},
    {"Label6", u"G", {2640, 1320, 135, 255}, Look::Red, false},
    {"Label7", u"M", {5160, 1320, 135, 255}, Look::Red, false},
    {"Label8",
     u"在这里输入你想要的分区的大小(G),比如输入12,就表示12G",
     {840, 1680, 1935, 615},
     Look::Plain,
     true},
    {"Label9",
     u"这里显示的是转换后的大小,也就是你分区时所须要设置的分区大小(M)",
     {3360, 1680, 1935, 615},
     Look::Plain,
     true},
};

// A box or button: where it stands and what a screen reader says of it.
template <typename Control>
struct ControlRow {
  Control* Form1::*member;
  const char* name;
  Twips place;
  const char16_t* accessibleName;
  const char16_t* accessibleDescription;
};

template <typename Control>
void Describe(Control* control, const ControlRow<Control>& row) {
  control->setObjectName(QString::fromLatin1(row.name));
  control->setGeometry(ToPixels(row.place));
  control->setAccessibleName(QString::fromUtf16(row.accessibleName));
  control->setAccessibleDescription(QString::fromUtf16(row.accessibleDescription));
}

constexpr Twips kWebPanelPlace = {0, 2280, 6015, 1575};

}  // namespace

Form1::Form1(const QUrl& startPage, QWidget* parent) : QMainWindow(parent), startPage_(startPage) {
  setupWindow();
  setupLabels();
  setupBoxes();
  setupButtons();
  setupWebPanelArea();
  setupTabOrder();
  setupMenu();
}

void Form1::load() {
  webBrowser1_->navigate(startPage_);
}

void Form1::setupWindow() {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(kCaption);
  // A minimize box and no maximize box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | kFixedSizeFrame);
  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("client"));
  client_->setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));
  setCentralWidget(client_);
  // Window managers offer maximize for any resizable window, whatever the
  // hints say: a fixed size is what takes it away.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void Form1::setupLabels() {
  for (const LabelRow& row : kLabels) {
    const QString text = QString::fromUtf16(row.text);
    QLabel* label = row.wraps ? new WrappedLabel(text, client_) : new QLabel(text, client_);
    label->setObjectName(QString::fromLatin1(row.name));
    label->setGeometry(ToPixels(row.place));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = label->palette();
    switch (row.look) {
      case Look::Title:
        palette.setColor(QPalette::WindowText, FromBgr(0x00FF0000));
        label->setFont(runtime::ChineseFont(kYaHei, 16));  // 12 pt
        break;
      case Look::Red:
        palette.setColor(QPalette::WindowText, FromBgr(0x000000FF));
        break;
      case Look::Plain:
        break;
    }
    label->setPalette(palette);
  }
}

void Form1::setupBoxes() {
  const ControlRow<QLineEdit> rows[] = {
      {&Form1::text1_,
       "Text1",
       {1080, 720, 1335, 270},
       u"FAT32 分区大小（GB）",
       u"输入想要的 FAT32 分区大小，单位为 GB"},
      {&Form1::text2_,
       "Text2",
       {3600, 720, 1335, 270},
       u"FAT32 分区设置值（MB）",
       u"分区时应为 FAT32 分区设置的大小，单位为 MB"},
      {&Form1::text3_,
       "Text3",
       {1080, 1320, 1335, 270},
       u"NTFS 分区大小（GB）",
       u"输入想要的 NTFS 分区大小，单位为 GB"},
      {&Form1::text4_,
       "Text4",
       {3600, 1320, 1335, 270},
       u"NTFS 分区设置值（MB）",
       u"分区时应为 NTFS 分区设置的大小，单位为 MB"},
  };
  for (const auto& row : rows) {
    auto* box = new QLineEdit(client_);
    Describe(box, row);
    box->setMaxLength(std::numeric_limits<int>::max());
    new runtime::KeyHook(box, [](runtime::KeyCode& code) { FilterKey(code); });
    this->*row.member = box;
  }
}

void Form1::setupButtons() {
  const ControlRow<QPushButton> rows[] = {
      {&Form1::command1_,
       "Command1",
       {2880, 720, 495, 255},
       u"计算 FAT32",
       u"按输入的 GB 数计算 FAT32 分区应设置的 MB 数"},
      {&Form1::command2_,
       "Command2",
       {2880, 1320, 495, 255},
       u"计算 NTFS",
       u"按输入的 GB 数计算 NTFS 分区应设置的 MB 数"},
  };
  for (const auto& row : rows) {
    auto* button = new QPushButton(QStringLiteral("计算"), client_);
    Describe(button, row);
    button->setFont(runtime::ChineseFont(kYaHei, 10));  // 7.5 pt
    button->setAutoDefault(false);
    button->setDefault(false);
    this->*row.member = button;
  }
  connect(command1_, &QPushButton::clicked, this, &Form1::onCommand1Clicked);
  connect(command2_, &QPushButton::clicked, this, &Form1::onCommand2Clicked);
}

void Form1::setupWebPanelArea() {
  webBrowser1_ = new WebPanel(client_);
  webBrowser1_->setObjectName(QStringLiteral("WebBrowser1"));
  webBrowser1_->setGeometry(ToPixels(kWebPanelPlace));
}

void Form1::setupTabOrder() {
  const QWidget* order[] = {text1_, text2_, text3_, text4_, command1_, command2_, webBrowser1_};
  for (std::size_t i = 1; i < std::size(order); ++i) {
    setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
  }
}

void Form1::setupMenu() {
  QMenu* menu = menuBar()->addMenu(QStringLiteral("Qinvo"));
  menu->setObjectName(QStringLiteral("Qinvo"));
  const struct {
    const char16_t* caption;
    QKeySequence shortcut;
    void (Form1::*handler)();
  } items[] = {
      {u"帮助", QKeySequence(Qt::CTRL | Qt::Key_H), &Form1::onHelpTriggered},
      {u"关于", QKeySequence(Qt::CTRL | Qt::Key_S), &Form1::onAboutTriggered},
      {u"退出", QKeySequence(Qt::CTRL | Qt::Key_X), &Form1::onExitTriggered},
  };
  for (const auto& item : items) {
    QAction* action = menu->addAction(QString::fromUtf16(item.caption));
    action->setObjectName(QString::fromUtf16(item.caption));
    action->setShortcut(item.shortcut);
    connect(action, &QAction::triggered, this, item.handler);
  }
  // F10 leads to the menu bar as Alt does, as in every Windows program.
  auto* menuBarKey = new QAction(this);
  menuBarKey->setObjectName(QStringLiteral("menuBarKey"));
  menuBarKey->setShortcut(QKeySequence(Qt::Key_F10));
  addAction(menuBarKey);
  connect(menuBarKey, &QAction::triggered, this, &Form1::onMenuBarKeyTriggered);
}

void Form1::onCommand1Clicked() {
  runtime::RunHandler(this, [this] {
    LineEditBox result(*text2_);
    CalculateFat32Row(LineEditBox(*text1_), result);
  });
}

void Form1::onCommand2Clicked() {
  runtime::RunHandler(this, [this] {
    LineEditBox result(*text4_);
    CalculateNtfsRow(LineEditBox(*text3_), result);
  });
}

void Form1::onHelpTriggered() {
  if (!helpWindow_)
    helpWindow_ = new TextWindow(kCaption, QStringLiteral("帮助"), HelpText(), this);
  helpWindow_->present();
}

void Form1::onAboutTriggered() {
  if (!aboutWindow_) {
    aboutWindow_ =
        new TextWindow(QStringLiteral("关于"), QStringLiteral("关于"), AboutText(), this);
  }
  aboutWindow_->present();
}

void Form1::onMenuBarKeyTriggered() {
  // The menu bar answers a lone Alt, pressed and let go, with its keyboard
  // mode; Qt has no other way in. (An Alt key event reports the Alt
  // modifier flipped: this one reads as Alt held, as a real press does.)
  QKeyEvent altPressed(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
  QCoreApplication::sendEvent(this, &altPressed);
  QKeyEvent altReleased(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
  QCoreApplication::sendEvent(this, &altReleased);
}

void Form1::onExitTriggered() {
  QCoreApplication::exit(0);
}

void Form1::closeEvent(QCloseEvent* event) {
  // Closing the main window ends the program, Help and About included.
  event->accept();
  QCoreApplication::quit();
}

}  // namespace trelvik
