#pragma once

#include <QAccessible>

class QWidget;

namespace tarvona {

// The role a screen reader is told for one of our top-level windows. A plain QWidget window is
// announced as a "filler"; the editor is a frame, the splash a window.
void SetWindowRole(QWidget* window, QAccessible::Role role);

}  // namespace tarvona
