#include "frmSplash.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QWindow>

#include "geometry.h"
#include "window_role.h"

namespace tarvona {

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {
    setObjectName("frmSplash");
    SetWindowRole(this, QAccessible::Window);
    setWindowTitle("Tarvona");
    SetProgramIcon(this);
    SetClientTwips(this, 3060, 30);
}

void frmSplash::ShowMinimized() {
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        showMinimized();
        return;
    }
    show();
    QDeadlineTimer mapped(500);
    while (!windowHandle()->isExposed() && !mapped.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
}

}  // namespace tarvona
