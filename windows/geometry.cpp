#include "geometry.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QWidget>
#include <algorithm>

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
    // A Wayland compositor may maximise or fullscreen any window, and ends a client whose surface
    // then keeps another size: there the size is only the least, and the rest stays empty.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        window->setMinimumSize(Px(width), Px(height));
        window->resize(Px(width), Px(height));
        return;
    }
    window->setFixedSize(Px(width), Px(height));
}

namespace {

QSize OwnFrameExtra(const QWidget* window) {
    const QSize extra = window->frameGeometry().size() - window->size();
    // Before the window manager has framed it, Qt may report a frame smaller than the window.
    return extra.width() < 0 || extra.height() < 0 ? QSize(0, 0) : extra;
}

// What the window manager adds around a window, as far as it is known: the window's own frame
// once it has one, else that of another framed window of ours (the editor, for the windows it
// opens), else nothing.
QSize FrameExtra(const QWidget* window) {
    const QSize own = OwnFrameExtra(window);
    if (!own.isNull()) return own;
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other == window || !other->isVisible()) continue;
        const QSize extra = OwnFrameExtra(other);
        if (!extra.isNull()) return extra;
    }
    return {};
}

// Where the window's frame stands centred on its screen (a window's position is that of its
// frame's top-left corner).
QPoint CentredPosition(const QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return window->pos();
    const QRect area = screen->geometry();
    const QSize outer = window->size() + FrameExtra(window);
    return {area.x() + (area.width() - outer.width()) / 2,
            area.y() + (area.height() - outer.height()) / 2};
}

// Returns the frame it counted with.
QSize PlaceCentred(QWidget* window) {
    window->move(CentredPosition(window));
    return FrameExtra(window);
}

// The frame is known only once the window manager has framed the shown window: the window is
// centred again then if its frame differs from the one counted with, unless the user has moved
// it meanwhile.
class Recentring final : public QObject {
public:
    Recentring(QWidget* window, QSize countedExtra)
        : QObject(window), m_window(window), m_placedAt(window->pos()), m_counted(countedExtra) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const auto type = event->type();
        if (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize) return false;
        const QSize extra = OwnFrameExtra(m_window);
        if (extra.isNull()) return false;  // not framed yet
        m_window->removeEventFilter(this);
        if (extra != m_counted && m_window->pos() == m_placedAt) PlaceCentred(m_window);
        deleteLater();
        return false;
    }

private:
    QWidget* m_window;
    QPoint m_placedAt;
    QSize m_counted;
};

}  // namespace

void CentreOnScreen(QWidget* window) {
    new Recentring(window, PlaceCentred(window));
}

bool CentreIfFramed(QWidget* window) {
    if (OwnFrameExtra(window).isNull()) return false;
    if (window->pos() != CentredPosition(window)) PlaceCentred(window);
    return true;
}

void PlaceBeside(QWidget* window, const QWidget* other) {
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return;
    const QScreen* screen = other->screen() ? other->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QRect beside = other->frameGeometry();
    const QSize outer = window->size() + FrameExtra(window);
    const int top = std::clamp(beside.top(), area.top(),
                               std::max(area.top(), area.bottom() + 1 - outer.height()));
    const int right = beside.right() + 1, left = beside.left() - outer.width();
    int x;
    if (right + outer.width() <= area.right() + 1) {
        x = right;
    } else if (left >= area.left()) {
        x = left;
    } else if (const int roomRight = area.right() - beside.right(),
               roomLeft = beside.left() - area.left();
               std::max(roomRight, roomLeft) >= outer.width() / 2) {
        // Narrowed to the wider side, as long as it keeps half its width: it covers nothing.
        const int room = std::max(roomRight, roomLeft);
        window->resize(room - (outer.width() - window->width()), window->height());
        x = roomRight >= roomLeft ? right : area.left();
    } else {
        // No room on either side: against the screen edge where less of the other is covered.
        const int atRight = area.right() + 1 - outer.width();
        const int coveredAtRight = std::max(0, beside.right() + 1 - atRight);
        const int coveredAtLeft = std::max(0, area.left() + outer.width() - beside.left());
        x = coveredAtRight <= coveredAtLeft ? atRight : area.left();
    }
    window->move(x, top);
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
