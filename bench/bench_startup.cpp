// Start-up: the time from starting a program to its main window being mapped on the X display,
// for vantorel and for a minimal Qt program that shows one window, alternately in one run.
// Needs an X display and, as on any desktop, a session bus: without one, every Qt program tries
// to start a bus for its accessibility bridge, which costs milliseconds at a point that differs
// between the two programs. Run it as
//
//   xvfb-run -a dbus-run-session bench_startup [RUNS]      (default 10 runs)
//
// Prints the figures; checks nothing.
#include "bench/runchild.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

// Starts the program and waits until one of its top-level windows is mapped; then ends it.
double secondsToFirstWindow(xcb_connection_t *x, const QByteArray &program)
{
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(program.constData(), program.constData(), static_cast<char *>(nullptr));
        _exit(127);
    }
    double seconds = -1;
    while (xcb_generic_event_t *event = xcb_wait_for_event(x)) {
        const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
        free(event);
        if (mapped) {
            seconds = double(timer.nsecsElapsed()) / 1e9;
            break;
        }
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return seconds;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10;
    const QString bin = QCoreApplication::applicationDirPath();
    QTextStream out(stdout);
    // Without a runtime folder Qt warns on every start; the warning is noise here.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());

    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        out << "warning: no session bus; run under dbus-run-session for a desktop's figures\n";

    int screenNumber = 0;
    xcb_connection_t *x = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(x)) {
        out << "no X display: run bench_startup under xvfb-run\n";
        return 1;
    }
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    const QByteArray vantorel = (bin + QStringLiteral("/vantorel")).toLocal8Bit();
    const QByteArray minimal = (bin + QStringLiteral("/minimal_window")).toLocal8Bit();
    QList<double> ours, theirs;
    // One warm-up each, so that both find the libraries in the page cache.
    secondsToFirstWindow(x, vantorel);
    secondsToFirstWindow(x, minimal);
    for (int i = 0; i < runs; ++i) {
        ours << secondsToFirstWindow(x, vantorel);
        theirs << secondsToFirstWindow(x, minimal);
    }
    xcb_disconnect(x);
    const double ratio = median(ours) / median(theirs);
    out << QStringLiteral(
               "start-up to main window shown, median of %1 runs: vantorel %2 ms, minimal "
               "Qt program %3 ms, ratio %4 (target at most 1.50)\n")
               .arg(runs)
               .arg(median(ours) * 1000, 0, 'f', 1)
               .arg(median(theirs) * 1000, 0, 'f', 1)
               .arg(ratio, 0, 'f', 2);
    return 0;
}
