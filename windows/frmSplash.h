#pragma once

#include <QWidget>

namespace tarvona {

// A caption-only window, minimised, that stands for the program while the launch run works.
class frmSplash final : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    // Shows the splash minimised. A Wayland compositor ignores the request before the surface
    // is mapped, so there it is made once the window is shown (waiting a moment at most).
    void ShowMinimized();
};

}  // namespace tarvona
