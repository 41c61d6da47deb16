#include "runtime/error_report.h"

#include <QApplication>
#include <QMessageBox>

#include "messages/error_text.h"
#include "runtime/application.h"

namespace trelvik::runtime {

void ShowRuntimeError(QWidget* parent, const RuntimeError& error) {
  InstallProgramIcon();
  InstallQtTranslation();  // its 确定 button
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Trelvik工具"),
                  QString::fromStdU16String(ErrorMessage(error.kind())), QMessageBox::Ok, parent);
  box.setObjectName(QStringLiteral("runtimeErrorMessage"));
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

}  // namespace trelvik::runtime
