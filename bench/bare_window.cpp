// A bare Qt Widgets window, the measure of the program's start-up: an empty
// window of the main window's size, shown as soon as the application exists.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("A bare window"));
    window.resize(575, 300);
    window.show();
    return app.exec();
}
