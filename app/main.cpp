#include "app/allocation_failure.h"
#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    quarnel::installAllocationFailureHandler();
    // Qt gets the program's name and nothing else: no argument changes what Quarnel does.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    return quarnel::runQuarnel();
}
