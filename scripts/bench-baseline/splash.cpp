// The least Qt program a login run on a display must be: a widget application that shows one
// minimised window and ends. The bench sets the login run beside it.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Tarvona");
    window.showMinimized();
    QCoreApplication::processEvents();
    return 0;
}
