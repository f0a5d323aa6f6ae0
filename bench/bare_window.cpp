// A bare Qt Widgets window, the measure of the program's start-up: an empty
// window of the main window's size, shown as soon as the application exists.
// Built as text_window, it shows one line of text: the first window that pays
// for the font set-up every window with words in it needs.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
#ifdef BARE_WINDOW_TEXT
    QLabel window(QStringLiteral("A bare window"));
#else
    QWidget window;
#endif
    window.setWindowTitle(QStringLiteral("A bare window"));
    window.resize(575, 300);
    window.show();
    return app.exec();
}
