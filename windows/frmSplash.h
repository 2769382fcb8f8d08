#pragma once

#include <QWidget>

namespace tarvona {

// A caption-only window, minimised, that stands for the program while the launch run works.
class frmSplash final : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);
};

}  // namespace tarvona
