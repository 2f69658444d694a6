#include "app/mainwindow.h"
#include "frame/progresswindow.h"
#include "platform/commandline.h"
#include "platform/startup.h"
#include "platformui/qtdialogs.h"
#include "viewer/viewerwindow.h"

#include <QApplication>

#include <optional>

namespace {

const QString kHelp = QStringLiteral(
    "Usage: folioscope [FILE]\n"
    "\n"
    "Shows the pages of a web site's folders in a browser and a source editor, keeps their\n"
    "thumbnails and lists of files. FILE, a page or a picture, is selected at start.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this text\n"
    "      --version  show the version\n"
    "\n"
    "Without a display, start it under a virtual one: xvfb-run -a folioscope [FILE]\n"
    "The same jobs without a window: folioscope-batch --help\n");

const QString kNoDisplay = QStringLiteral(
    "folioscope: no display to show the window on; start it under a virtual display: "
    "xvfb-run -a folioscope");

} // namespace

int main(int argc, char **argv)
{
    if (platform::hasOption(argc, argv, "--help") || platform::hasOption(argc, argv, "-h"))
        return platform::printToStandardOutput(kHelp);
    if (platform::hasOption(argc, argv, "--version"))
        return platform::printToStandardOutput(
            QStringLiteral("folioscope %1\n").arg(platform::programVersion()));

    platform::prepareApplicationStart();
    std::optional<platform::NoDisplayExit> noDisplay(std::in_place, kNoDisplay);
    QApplication app(argc, argv);
    noDisplay.reset();
    app.setApplicationName(QStringLiteral("Folioscope"));
    platformui::useQtDialogs();

    // The windows of the whole run, in their order of creation. QApplication has taken its own
    // options out of argv; the start file keeps the bytes of its name.
    app::MainWindow mainWindow(
        QCoreApplication::applicationDirPath(), platform::argumentsAsFileNames(argc, argv));
    viewer::ViewerWindow viewerWindow(&mainWindow);
    frame::ProgressWindow progressWindow;
    mainWindow.setViewer(&viewerWindow);
    mainWindow.setProgressWindow(&progressWindow);

    mainWindow.show();
    return app.exec();
}
