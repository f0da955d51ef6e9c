// make-demo-data: writes the demo TavisolData/ and vistreldata/ folders into a
// program folder (scripts/run calls it when they are missing).
#include "maker.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    demodata::MakerOptions options;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--subset")) {
            options.subset = true;
        } else if (a == QLatin1String("--force")) {
            options.force = true;
        } else if (a == QLatin1String("--marble-data") && i + 1 < args.size()) {
            options.marbleDir = args[++i];
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            std::printf("usage: make-demo-data [--subset] [--force] [--marble-data DIR] PROGRAM_FOLDER\n");
            return 0;
        } else if (!a.startsWith(QLatin1Char('-')) && options.programDir.isEmpty()) {
            options.programDir = a;
        } else {
            std::fprintf(stderr, "make-demo-data: unknown argument %s\n", qPrintable(a));
            return 2;
        }
    }
    if (options.programDir.isEmpty()) {
        std::fprintf(stderr, "usage: make-demo-data [--subset] [--force] [--marble-data DIR] PROGRAM_FOLDER\n");
        return 2;
    }
    demodata::MakerReport report;
    QString error;
    const bool ok = demodata::makeDemoData(options, &report, &error);
    for (const QString& line : report.lines)
        std::printf("%s\n", qPrintable(line));
    if (!ok) {
        std::fprintf(stderr, "make-demo-data: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
