#pragma once

#include <QStringList>
#include <QTextStream>

namespace orlu {

// "export [--home DIR] [--courses] [--records] --to FOLDER": writes KyTran.mdb into FOLDER
// (both kinds when neither is named). Messages on standard error; exit status 0, 1 when the
// export failed (no transfer file left), 2 for bad arguments.
int runExportCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// "import [--home DIR] [--courses] [--records] (--append | --replace) --from FILE": imports a
// transfer file into the main database. Exit status 0, 1 when it failed (the main database is
// as it was), 2 for bad arguments.
int runImportCommand(const QStringList &args, QTextStream &out, QTextStream &err);

} // namespace orlu
