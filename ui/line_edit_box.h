#pragma once

#include <QLineEdit>

#include "core/partition_size.h"

namespace trelvik {

// A text box of a window as the calculator rows see it. QString holds UTF-16
// code units, the same as the rows' texts, so nothing is converted.
class LineEditBox final : public Box {
 public:
  explicit LineEditBox(QLineEdit& edit) : edit_(edit) {}

  std::u16string text() const override { return edit_.text().toStdU16String(); }
  void setText(std::u16string_view text) override {
    edit_.setText(
        QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size())));
  }

 private:
  QLineEdit& edit_;
};

}  // namespace trelvik
