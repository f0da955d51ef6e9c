#pragma once
// Writes the demo data folders TavisolData/ and vistreldata/ into a program folder,
// from the geography of the marble-qt-data package. Deterministic: the same
// sources give the same bytes.
#include <QString>
#include <QStringList>

namespace demodata {

struct MakerOptions {
    QString programDir;
    QString marbleDir = QStringLiteral("/usr/share/marble/data");
    // A quick, smaller set for tests: coarse relief and about 2500 stations.
    bool subset = false;
    // Rewrite folders that already exist (otherwise they are left alone).
    bool force = false;
};

struct MakerReport {
    QStringList lines; // what was written, for the console
};

bool makeDemoData(const MakerOptions& options, MakerReport* report, QString* error);

} // namespace demodata
