#pragma once

#include <QCoreApplication>

#include <memory>

namespace batch {

// The application object of a run. The rendering commands need widgets and the browser
// engine, the others only Qt Core; each executable defines it once, so that
// folioscope-batch never loads the widgets.
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char **argv, bool renders);

} // namespace batch
