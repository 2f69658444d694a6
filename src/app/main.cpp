#include "app/tform1.h"
#include "folderview/formprogress.h"
#include "platform/startup.h"
#include "platformui/qtdialogs.h"
#include "viewer/tformview.h"

#include <QApplication>

int main(int argc, char **argv)
{
    platform::prepareApplicationStart();
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Folioscope"));
    platform::useQtDialogs();

    // The windows of the whole run, in their order of creation.
    app::TForm1 form1(QCoreApplication::applicationDirPath(), app.arguments().mid(1));
    viewer::TFormView formView(&form1);
    folderview::TFormProgress formProgress;
    form1.setViewer(&formView);
    form1.setProgressWindow(&formProgress);

    form1.show();
    return app.exec();
}
