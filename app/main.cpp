#include "app/startup.h"
#include "platform/ui/guard.h"
#include "platform/ui/tapplication.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication qt(argc, argv);
    TApplication app(QCoreApplication::applicationFilePath());
    if (!guarded([&] { CreateModules(app); }))
        return 1;
    return app.Run();
}
