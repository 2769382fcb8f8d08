#include "window_role.h"

#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace tarvona {

namespace {

const char* const kRoleProperty = "tarvonaAccessibleRole";

QAccessibleInterface* RoleFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return nullptr;
    const QVariant role = widget->property(kRoleProperty);
    if (!role.isValid()) return nullptr;
    return new QAccessibleWidget(widget, static_cast<QAccessible::Role>(role.toInt()));
}

}  // namespace

void SetWindowRole(QWidget* window, QAccessible::Role role) {
    static const bool installed = [] {
        QAccessible::installFactory(RoleFactory);
        return true;
    }();
    (void)installed;
    window->setProperty(kRoleProperty, static_cast<int>(role));
}

}  // namespace tarvona
