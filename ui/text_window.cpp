#include "ui/text_window.h"

#include <QGroupBox>

#include "runtime/accessible_role.h"
#include "runtime/window_place.h"
#include "ui/fixed_size_frame.h"
#include "ui/twips.h"
#include "ui/wrapped_label.h"

namespace trelvik {
namespace {

constexpr int kClientWidth = 4680;
constexpr int kClientHeight = 3105;
constexpr Twips kFramePlace = {240, 240, 4095, 2535};
constexpr Twips kLabelPlace = {240, 240, 3615, 2055};  // within the frame

}  // namespace

TextWindow::TextWindow(const QString& caption, const QString& frameCaption, const QString& text,
                       QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | kFixedSizeFrame) {
  // Announced as a window of its own when it opens, not passed over.
  runtime::SetAccessibleRole(this, QAccessible::Dialog);
  setWindowTitle(caption);
  setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));

  auto* frame = new QGroupBox(frameCaption, this);
  frame->setObjectName(QStringLiteral("Frame1"));
  frame->setGeometry(ToPixels(kFramePlace));
  // The caption sits on the frame's top line, and the frame's contents are
  // placed from its outer corner, so the line must run near the top.
  frame->setStyleSheet(
      QStringLiteral("QGroupBox { border: 1px solid palette(mid); margin-top: 6px; }"
                     "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 2px; }"));

  auto* label = new WrappedLabel(text, frame);
  label->setObjectName(QStringLiteral("Label1"));
  label->setGeometry(ToPixels(kLabelPlace));
}

void TextWindow::present() {
  if (!isVisible()) runtime::CentreOnScreen(*this);
  show();
  raise();
  activateWindow();
}

}  // namespace trelvik
