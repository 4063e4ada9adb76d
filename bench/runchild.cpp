#include "bench/runchild.h"

#include <QElapsedTimer>
#include <algorithm>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

ChildRun runChild(const QString &program, const QStringList &args)
{
    std::vector<QByteArray> storage{program.toLocal8Bit()};
    for (const QString &a : args)
        storage.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    QElapsedTimer timer;
    timer.start();
    const pid_t pid = fork();
    if (pid == 0) {
        // The child's own output would only clutter the figures.
        if (freopen("/dev/null", "w", stdout) == nullptr)
            _exit(127);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    ChildRun run;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.seconds = double(timer.nsecsElapsed()) / 1e9;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakMegabytes = double(usage.ru_maxrss) / 1024.0;
    return run;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}
