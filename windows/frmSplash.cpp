#include "frmSplash.h"

#include "geometry.h"

namespace tarvona {

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {
    setObjectName("frmSplash");
    setWindowTitle("Tarvona");
    SetProgramIcon(this);
    SetClientTwips(this, 3060, 30);
    setWindowState(Qt::WindowMinimized);
}

}  // namespace tarvona
