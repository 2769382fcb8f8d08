#include "frmSplash.h"

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
    setWindowState(Qt::WindowMinimized);
}

}  // namespace tarvona
