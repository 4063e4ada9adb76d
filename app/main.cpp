#include "app/startup.h"
#include "platform/ui/guard.h"
#include "platform/ui/tapplication.h"

#include <QApplication>
#include <fontconfig/fontconfig.h>
#include <thread>

int main(int argc, char *argv[])
{
    // Reading the font configuration takes as long as connecting to the display; on a second
    // core both go on at once, and the main window, whose captions need fonts, shows sooner.
    std::thread fonts([] { FcInit(); });
    QApplication qt(argc, argv);
    fonts.join();
    TApplication app(QCoreApplication::applicationFilePath());
    if (!guarded([&] { CreateModules(app); }))
        return 1;
    return app.Run();
}
