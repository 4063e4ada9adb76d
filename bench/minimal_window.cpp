// The yardstick for start-up: the least a Qt program does to show one window.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("minimal"));
    window.resize(158, 330);
    window.show();
    return app.exec();
}
