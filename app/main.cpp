#include "engine/random_source.h"
#include "ui/main_window.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    quarnel::RandomSource numbers;
    quarnel::ui::MainWindow window(numbers);
    window.show();
    return QApplication::exec();
}
