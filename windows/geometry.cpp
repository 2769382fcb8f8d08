#include "geometry.h"

#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QWidget>

namespace tarvona {

int Px(int twips) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return qRound(twips * dpi / 1440.0);
}

void PlaceTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(Px(left), Px(top), Px(width), Px(height));
}

void SetClientTwips(QWidget* window, int width, int height) {
    window->setFixedSize(Px(width), Px(height));
}

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.x() + (area.width() - size.width()) / 2,
                 area.y() + (area.height() - size.height()) / 2);
}

QFont NamedFont(const QString& family, double points, bool fixedPitch) {
    QFont font(family);
    // MS Sans Serif has no metric twin here, and fontconfig's default sans (DejaVu Sans) runs a
    // sixth wider than it; Liberation Sans keeps its texts within the widths drawn for them.
    if (family == QLatin1String("MS Sans Serif"))
        font.setFamilies({family, QStringLiteral("Liberation Sans")});
    font.setPointSizeF(points);
    font.setStyleHint(fixedPitch ? QFont::TypeWriter : QFont::SansSerif);
    font.setFixedPitch(fixedPitch);
    return font;
}

const QIcon& ProgramIcon() {
    static const QIcon icon = [] {
        QIcon sizes;
        for (int size : {16, 32, 48, 64, 128, 256})
            sizes.addFile(QString(":/tarvona/icons/%1.png").arg(size), QSize(size, size));
        return sizes;
    }();
    return icon;
}

void SetProgramIcon(QWidget* window) {
    window->setWindowIcon(ProgramIcon());
}

}  // namespace tarvona
