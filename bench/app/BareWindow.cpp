// The yardsticks for the program's start-up: a Qt window of the main window's size that
// does nothing else, and, with --text, the same window showing one line of Chinese in the
// program's face, which is the least any window that shows text pays for (setting up
// fontconfig, opening the face).
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv) {
    const bool withText = argc > 1 && std::strcmp(argv[1], "--text") == 0;
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(367, 193);
    if (withText) {
        QFont font(QStringLiteral("AR PL UMing CN"), 9);
        font.setStyleStrategy(QFont::NoAntialias);
        auto* line = new QLabel(QStringLiteral(u"启动时显示本机IP相关信息"), &window);
        line->setFont(font);
        line->move(40, 136);
    }
    window.show();
    return QApplication::exec();
}
