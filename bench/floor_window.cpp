// The toolkit's floor: a bare Qt Widgets window of the main window's size with one label,
// built and measured the same way as the program.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Floor"));
    window.resize(433, 428);
    QLabel label(QStringLiteral("0"), &window);
    label.setGeometry(112, 64, 56, 24);
    window.show();
    return app.exec();
}
