#include "runtime/accessible_role.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace trelvik::runtime {
namespace {

constexpr char kRoleProperty[] = "trelvikAccessibleRole";

QAccessibleInterface* WidgetWithRole(const QString& className, QObject* object) {
  // Only a widget without a class of its own can carry the role: every other
  // one has Qt's own, more telling, view.
  if (className != QLatin1String("QWidget") || !object->isWidgetType()) return nullptr;
  const QVariant role = object->property(kRoleProperty);
  if (!role.isValid()) return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object),
                               static_cast<QAccessible::Role>(role.toInt()));
}

}  // namespace

void SetAccessibleRole(QWidget* widget, QAccessible::Role role) {
  static const bool installed = [] {
    QAccessible::installFactory(&WidgetWithRole);
    return true;
  }();
  (void)installed;
  widget->setProperty(kRoleProperty, static_cast<int>(role));
}

}  // namespace trelvik::runtime
