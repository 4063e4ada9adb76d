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

// Fills an empty clock-in/clock-out table file with `rows` records in one transaction.
void fillClockTable(const QString &file, int rows);

// The resident memory of this process.
double residentMegabytes();
