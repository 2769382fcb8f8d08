#include "qt_desktop.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QProcess>
#include <QSortFilterProxyModel>
#include <QTimer>

#include "geometry.h"
#include "texts.h"

namespace tarvona {

namespace {

// A message box settles its size only while it is shown, and window managers place dialogs over
// their parent on their own, at a moment of their choosing, without telling the program: it is
// centred on the screen once shown, and again as soon as it is framed, like every other window.
void CentreWhenShown(QWidget* box) {
    class Centring final : public QObject {
    public:
        using QObject::QObject;

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override {
            auto* window = static_cast<QWidget*>(watched);
            // Its own new layout would fix the size again.
            if (event->type() == QEvent::LayoutRequest && m_settled && OnWayland()) return true;
            if (event->type() == QEvent::Show)
                QMetaObject::invokeMethod(
                    window, [this, window] { Settle(window); }, Qt::QueuedConnection);
            return false;
        }

    private:
        static bool OnWayland() {
            return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
        }
        void Settle(QWidget* window) {
            // A message box fixes its own size when shown; a Wayland compositor that maximises
            // it would then end the program, so there that size is only the least.
            if (OnWayland()) {
                window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
                m_settled = true;
                return;  // the compositor places it
            }
            CentreOnScreen(window);
            // Checked for its first moments, while the window manager frames and places it.
            auto* check = new QTimer(window);
            int ticks = 0;
            QObject::connect(check, &QTimer::timeout, window, [window, check, ticks]() mutable {
                CentreIfFramed(window);
                if (++ticks == 30) check->stop();
            });
            check->start(50);
            m_settled = true;
        }
        bool m_settled = false;
    };
    box->installEventFilter(new Centring(box));
}

}  // namespace

Answer QtDesktop::messageBox(const std::string& text, const std::string& caption, Buttons buttons) {
    // Texts of the program come in English and are shown in the user's language; a text made
    // of a translation already, or with a name in it, passes unchanged.
    QMessageBox box(QMessageBox::Critical, Tr(caption), Tr(text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setObjectName("messageBox");
    CentreWhenShown(&box);
    // Modal to the window that asks, so that an open help window stays usable. Not through
    // QMessageBox's own setWindowModality, which makes the box a sheet: Qt's Wayland client draws
    // a sheet no title bar, so it would have no caption, no close box and could not be moved.
    static_cast<QWidget&>(box).setWindowModality(Qt::WindowModal);
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

void QtDesktop::beep() {
    QApplication::beep();
}

void QtDesktop::help(const std::string& file, HelpCommand command, int data) {
    const QString name = QString::fromStdString(file);
    switch (command) {
        case HelpCommand::Finder:
            m_help.ShowContents(name);
            break;
        case HelpCommand::Context:
            m_help.ShowTopic(name, data);
            break;
        case HelpCommand::ContextPopup:
            m_help.ShowPopup(name, data);
            break;
        case HelpCommand::Quit:
            m_help.Quit();
            break;
    }
}

namespace {

const char* const kProgramsFilter =
    QT_TRANSLATE_NOOP("Tarvona", "Programs (*.exe,*.com,*.bat,*.pif)");
const char* const kAllFilesFilter = QT_TRANSLATE_NOOP("Tarvona", "All Files (*.*)");

// The dialog's own patterns cannot say "executable", and programs here mostly have no
// extension: this proxy lists folders, the four program patterns and every executable file
// for "Programs", and every file for "All Files".
class ProgramFilter final : public QSortFilterProxyModel {
public:
    bool programsOnly = true;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (!files || !programsOnly) return true;
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        static const QStringList suffixes = {"exe", "com", "bat", "pif"};
        return info.isDir() || info.isExecutable() || suffixes.contains(info.suffix().toLower());
    }
};

}  // namespace

std::optional<std::string> QtDesktop::chooseFile(const std::string& title) {
    QFileDialog dialog(QApplication::activeWindow(), Tr(title));
    dialog.setObjectName("cmDialog");
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    auto* filter = new ProgramFilter;
    dialog.setProxyModel(filter);
    const QString programs = Tr(kProgramsFilter);
    dialog.setNameFilters({programs, Tr(kAllFilesFilter)});
    auto showEverything = [&] {
        if (auto* files = qobject_cast<QFileSystemModel*>(filter->sourceModel())) {
            files->setNameFilterDisables(false);
            files->setNameFilters({});
        }
        filter->invalidate();
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& chosen) {
        filter->programsOnly = chosen == programs;
        QTimer::singleShot(0, &dialog, showEverything);
    });
    dialog.selectNameFilter(programs);
    showEverything();
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toLocal8Bit().toStdString();
}

bool QtDesktop::startProgram(const std::string& path) {
    return QProcess::startDetached(QString::fromLocal8Bit(path.c_str()), {});
}

}  // namespace tarvona
