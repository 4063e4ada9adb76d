#pragma once

#include <QString>
#include <QStringList>

// Runs a program to its end and measures it: wall time and peak resident memory.
struct ChildRun
{
    int exitCode = -1;
    double seconds = 0;
    double peakMegabytes = 0;
};

ChildRun runChild(const QString &program, const QStringList &args);

double median(QList<double> values);
