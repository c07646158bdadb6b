// The yardstick for the program's start-up: a Qt window of the main window's size that
// does nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(367, 193);
    window.show();
    return QApplication::exec();
}
