#include "platform/error.h"
#include "tools/tabletool.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

namespace {

const char kUsage[] = R"(Usage: vantorel-tables COMMAND ...

Creates, fills, imports, exports and checks the five table files of Vantorel
(ryxx.DB staff, ccjl.DB business trips, qjjl.DB leave, jbjl.DB overtime,
cqjl.DB clock-in and clock-out).

Commands:
  create DIR             create the five empty table files in DIR; files that
                         exist already are named and left untouched
  sample DIR             create the five table files in DIR with sample records
  import FILE.DB CSV     append the records of a UTF-8 CSV file (header row of
                         field names, dates YYYY-MM-DD, times YYYY-MM-DD HH:MM:SS)
                         to a table file: all of them, or none when a value is bad
  export FILE.DB [CSV]   write a table file as CSV (to standard output by default)
  check DIR              one line per table file: present, matching its fields,
                         intact
  --help                 this text

Exit status: 0 success, 1 refused input, 2 wrong usage.
)";

int usage(const QString &problem)
{
    QTextStream err(stderr);
    if (!problem.isEmpty())
        err << "vantorel-tables: " << problem << "\n\n";
    err << kUsage;
    return 2;
}

int run(const QStringList &args)
{
    QTextStream out(stdout);
    const QString command = args.value(0);
    const auto needs = [&](qsizetype min, qsizetype max) {
        return args.size() - 1 >= min && args.size() - 1 <= max;
    };
    if (command == u"--help" || command == u"-h" || command == u"help") {
        out << kUsage;
        return 0;
    }
    if (command == u"create" && needs(1, 1)) {
        tabletool::createTables(args[1]);
        out << "Created the five table files in " << args[1] << '\n';
        return 0;
    }
    if (command == u"sample" && needs(1, 1)) {
        tabletool::createSample(args[1]);
        out << "Created the five table files with sample records in " << args[1] << '\n';
        return 0;
    }
    if (command == u"import" && needs(2, 2)) {
        QFile csv(args[2]);
        if (!csv.open(QIODevice::ReadOnly))
            throw Error(QStringLiteral("Cannot read '%1': %2").arg(args[2], csv.errorString()));
        const qint64 count = tabletool::importCsv(args[1], csv);
        out << "Imported " << count << (count == 1 ? " record" : " records") << " into " << args[1]
            << '\n';
        return 0;
    }
    if (command == u"export" && needs(1, 2)) {
        QFile file;
        if (args.size() == 3) {
            file.setFileName(args[2]);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                throw Error(
                    QStringLiteral("Cannot write '%1': %2").arg(args[2], file.errorString()));
        } else if (!file.open(stdout, QIODevice::WriteOnly)) {
            throw Error(QStringLiteral("Cannot write to standard output"));
        }
        tabletool::exportCsv(args[1], file);
        if (!file.flush())
            throw Error(QStringLiteral("Cannot write the CSV: %1").arg(file.errorString()));
        return 0;
    }
    if (command == u"check" && needs(1, 1))
        return tabletool::check(args[1], out) ? 0 : 1;
    return usage(command.isEmpty()
                     ? QString()
                     : QStringLiteral("wrong command or arguments: %1").arg(args.join(u' ')));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    try {
        return run(app.arguments().mid(1));
    } catch (const Error &e) {
        QTextStream(stderr) << "vantorel-tables: " << e.message() << '\n';
        return 1;
    }
}
