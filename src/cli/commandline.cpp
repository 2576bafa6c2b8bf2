#include "cli/commandline.h"

#include "core/programfolder.h"
#include "records/database.h"
#include "records/databasefiles.h"

#include <QCoreApplication>
#include <QDir>

namespace orlu {

using namespace Qt::StringLiterals;

std::optional<int> parseCommandLine(QCommandLineParser &parser, const QString &command,
                                    const QString &description, const QStringList &args, QTextStream &out,
                                    QTextStream &err) {
    parser.setApplicationDescription(description);
    const QCommandLineOption help(u"help"_s, u"Show this help."_s);
    parser.addOption(help);
    // The parser takes the first argument as the program's name.
    if (!parser.parse(QStringList{u"orlu-cli "_s + command} + args)) {
        err << command << ": " << parser.errorText() << '\n';
        return 2;
    }
    if (parser.isSet(help)) {
        // The parser's own text names the program as it was started; name the command instead.
        QString text = parser.helpText();
        if (!QCoreApplication::arguments().isEmpty())
            text.replace(QCoreApplication::arguments().constFirst(), u"orlu-cli "_s + command);
        out << text;
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << command << ": unexpected argument \"" << parser.positionalArguments().first() << "\"\n";
        return 2;
    }
    return std::nullopt;
}

bool openMainDatabaseForReading(Database &db, const QString &home, const QString &command, QTextStream &err) {
    const ProgramFolder folder =
        home.isEmpty() ? ProgramFolder::fromEnvironment() : ProgramFolder(QDir(home).absolutePath() + u'/');
    QString error;
    if (!db.open(folder.file(dbfile::Main), Database::Access::ReadOnly, &error)) {
        err << command << ": " << error << '\n';
        return false;
    }
    return true;
}

} // namespace orlu
