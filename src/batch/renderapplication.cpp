#include "application.h"

#include <QApplication>

namespace batch {

std::unique_ptr<QCoreApplication> makeApplication(int &argc, char **argv, bool renders)
{
    if (renders)
        return std::make_unique<QApplication>(argc, argv);
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace batch
