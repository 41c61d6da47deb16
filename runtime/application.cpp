#include "runtime/application.h"

#include <QEvent>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include "runtime/first_paint.h"
#include "runtime/window_place.h"
#include "trelvik/build_info.h"

namespace trelvik::runtime {
namespace {

// Faces that draw Simplified Chinese, in order of preference, after the
// faces a control asks for (so never in place of 微软雅黑 or 宋体 where
// they exist, as on Windows). Named explicitly: left to itself fontconfig
// may pick a Japanese face, whose glyph shapes differ from the Chinese ones.
const QStringList kChineseFallbacks = {
    QStringLiteral("Noto Sans CJK SC"),
    QStringLiteral("Source Han Sans SC"),
    QStringLiteral("WenQuanYi Micro Hei"),
    QStringLiteral("WenQuanYi Zen Hei"),
};

// Until Qt's Chinese texts are in, the first context menu brings them in
// before it opens.
class TranslationOnContextMenu : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::ContextMenu) InstallQtTranslation();
    return false;
  }
};

TranslationOnContextMenu* g_translationWaiter = nullptr;
bool g_translationInstalled = false;

// Both sizes drawn by hand: scaled from one, the 16-pixel title-bar icon
// would lose the partition's outline.
QIcon ProgramIcon() {
  QIcon icon;
  icon.addFile(QStringLiteral(":/trelvik/icons/trelvik-16.png"), QSize(16, 16));
  icon.addFile(QStringLiteral(":/trelvik/icons/trelvik-32.png"), QSize(32, 32));
  return icon;
}

}  // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("trelvik"));
  // Under Wayland the desktop entry's icon stands in for the window's own
  // (see InstallProgramIcon).
  setDesktopFileName(QString::fromUtf8(build_info::kAppId));
  // Qt's Chinese texts are for its own menus and message boxes, which the
  // first paint does not need: Run installs them right after it.
  g_translationWaiter = new TranslationOnContextMenu(this);
  installEventFilter(g_translationWaiter);
  setFont(ChineseFont({QStringLiteral("SimSun"), QStringLiteral("宋体")}, 12));
}

void InstallProgramIcon() {
  // Set on the application, so every window, whenever it is made, shows it.
  if (qApp && qApp->windowIcon().isNull()) QApplication::setWindowIcon(ProgramIcon());
}

void InstallQtTranslation() {
  if (g_translationInstalled || !qApp) return;
  g_translationInstalled = true;
  if (g_translationWaiter) {
    g_translationWaiter->deleteLater();
    g_translationWaiter = nullptr;
  }
  auto* translator = new QTranslator(qApp);
#ifdef TRELVIK_QT_TRANSLATIONS
  const QString folder = QStringLiteral(TRELVIK_QT_TRANSLATIONS);
#else
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#endif
  if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                       QStringLiteral("_"), folder)) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
}

QFont ChineseFont(const QStringList& faces, int pixelSize) {
  // Only the faces that are installed: for one that is not, Qt asks
  // fontconfig what it might stand for, a search that costs the first paint
  // several per cent. Read once; a font installed while the program runs
  // counts from its next start.
  static const QStringList installed = QFontDatabase::families();
  QStringList families;
  for (const QString& face : faces + kChineseFallbacks) {
    if (installed.contains(face, Qt::CaseInsensitive)) families << face;
  }
  QFont font;
  font.setFamilies(families);
  font.setPixelSize(pixelSize);
  font.setWeight(QFont::Normal);
  return font;
}

int Run(QWidget& window) {
  OnFirstPaint(window, [] {
    QTimer::singleShot(0, qApp, [] {
      InstallProgramIcon();
      InstallQtTranslation();
    });
  });
  window.ensurePolished();
  window.adjustSize();
  CentreOnScreen(window);
  // The focus starts in the first control in tab order that can take it;
  // given before the window is shown, it is the window's focus as soon as
  // the window becomes active.
  for (QWidget* control = window.nextInFocusChain(); control != &window;
       control = control->nextInFocusChain()) {
    if (control->isEnabled() && control->isVisibleTo(&window) &&
        control->focusPolicy() & Qt::TabFocus) {
      control->setFocus(Qt::OtherFocusReason);
      break;
    }
  }
  window.show();
  return QApplication::exec();
}

}  // namespace trelvik::runtime

#include "application.moc"
