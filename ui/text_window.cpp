#include "ui/text_window.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>

#include "runtime/accessible_role.h"
#include "ui/wrapped_label.h"

namespace trelvik {
namespace {

// Twips, 15 to a device-independent pixel.
constexpr int kClientWidth = 4680 / 15;
constexpr int kClientHeight = 3105 / 15;
const QRect kFramePlace(240 / 15, 240 / 15, 4095 / 15, 2535 / 15);
const QRect kLabelPlace(240 / 15, 240 / 15, 3615 / 15, 2055 / 15);  // within the frame

}  // namespace

TextWindow::TextWindow(const QString& caption, const QString& frameCaption, const QString& text,
                       QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  // Announced as a window of its own when it opens, not passed over.
  runtime::SetAccessibleRole(this, QAccessible::Dialog);
  setWindowTitle(caption);
  setFixedSize(kClientWidth, kClientHeight);

  auto* frame = new QGroupBox(frameCaption, this);
  frame->setObjectName(QStringLiteral("Frame1"));
  frame->setGeometry(kFramePlace);
  // The caption sits on the frame's top line, and the frame's contents are
  // placed from its outer corner, so the line must run near the top.
  frame->setStyleSheet(
      QStringLiteral("QGroupBox { border: 1px solid palette(mid); margin-top: 6px; }"
                     "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 2px; }"));

  auto* label = new WrappedLabel(text, frame);
  label->setObjectName(QStringLiteral("Label1"));
  label->setGeometry(kLabelPlace);
}

void TextWindow::present() {
  if (!isVisible()) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      move(screen->availableGeometry().center() - rect().center());
    }
  }
  show();
  raise();
  activateWindow();
}

}  // namespace trelvik
