#include "platform/startup.h"

#include <QApplication>

int main(int argc, char **argv)
{
    platform::prepareApplicationStart();
    QApplication app(argc, argv);
    return 0;
}
