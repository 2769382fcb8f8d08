#pragma once

#include <QFont>
#include <QIcon>
#include <QString>

class QWidget;

namespace tarvona {

// A fixed dialog border with a close box and no minimise or maximise button.
inline constexpr Qt::WindowFlags kFixedDialog =
    Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

// Pixels for a length in twips (1/1440 inch) at the screen's logical resolution.
int Px(int twips);

// Places a control by its left, top, width and height in twips.
void PlaceTwips(QWidget* widget, int left, int top, int width, int height);

// Gives a window a fixed client area in twips.
void SetClientTwips(QWidget* window, int width, int height);

// Places a window beside another, on the same screen: to its right where the screen has room,
// else to its left, else where it covers least of it. On Wayland the compositor places windows,
// and nothing is moved.
void PlaceBeside(QWidget* window, const QWidget* other);

// Centres a window's outer frame on its screen: left = (screen width - outer width) / 2, top
// likewise; again once the window manager has framed it.
void CentreOnScreen(QWidget* window);

// Centres the window again once the window manager has framed it, wherever it stands then;
// false while it is not framed yet.
bool CentreIfFramed(QWidget* window);

// A font by name with a style hint, so the metric-compatible Liberation fonts serve where the
// named one is missing.
QFont NamedFont(const QString& family, double points, bool fixedPitch = false);

// The program icon in every size it is drawn at (resources/tarvona.svg).
const QIcon& ProgramIcon();
void SetProgramIcon(QWidget* window);

}  // namespace tarvona
