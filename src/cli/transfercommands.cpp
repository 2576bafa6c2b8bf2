#include "cli/transfercommands.h"

#include "core/clock.h"
#include "core/programfolder.h"
#include "records/databasefiles.h"
#include "records/transferoperations.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <optional>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

struct Parsed {
    ProgramFolder folder;
    TransferKinds kinds;
};

// Parses the shared options; returns the exit status when the command ends here.
std::optional<int> parse(QCommandLineParser &parser, const QString &name, const QStringList &args,
                         QTextStream &out, QTextStream &err) {
    parser.setApplicationDescription(name == u"export"_s
                                         ? u"Write the register into KyTran.mdb in a folder."_s
                                         : u"Import a transfer file into the register."_s);
    parser.addOption(
        {u"home"_s, u"Program folder (default: $ORLU_HOME or the user's data folder)."_s, u"DIR"_s});
    parser.addOption({u"courses"_s, u"The expert courses (专家疗程数据)."_s});
    parser.addOption({u"records"_s, u"The subjects with their measurements (病历检测资料)."_s});
    const QCommandLineOption help(u"help"_s, u"This text."_s);
    parser.addOption(help);
    if (!parser.parse(QStringList{u"orlu-cli "_s + name} + args)) {
        err << name << ": " << parser.errorText() << '\n';
        return ExitUsage;
    }
    if (parser.isSet(help)) {
        out << parser.helpText();
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << name << ": unexpected argument \"" << parser.positionalArguments().first() << "\"\n";
        return ExitUsage;
    }
    return std::nullopt;
}

Parsed parsedOf(const QCommandLineParser &parser) {
    Parsed p{parser.isSet(u"home"_s) ? ProgramFolder(parser.value(u"home"_s))
                                     : ProgramFolder::fromEnvironment(),
             {parser.isSet(u"courses"_s), parser.isSet(u"records"_s)}};
    if (!p.kinds.any())
        p.kinds = {true, true};
    return p;
}

int report(const TransferOutcome &outcome, QTextStream &err) {
    for (const TransferNotice &n : outcome.notices)
        err << n.text << '\n';
    return outcome.ok ? 0 : ExitFailed;
}

// Runs `work` on the installation's main database.
template <typename Work>
int withMainDatabase(const QString &name, const Parsed &p, QTextStream &err, Work work) {
    Database main;
    QString error;
    // A fresh installation gets its empty register as at a program start.
    if (!fileExists(p.folder.file(dbfile::Main)))
        copyDatabaseFile(p.folder.file(dbfile::Template), p.folder.file(dbfile::Main));
    if (!main.open(p.folder.file(dbfile::Main), Database::Access::Shared, &error)) {
        err << name << ": " << error << '\n';
        return ExitFailed;
    }
    SystemClock clock;
    FileCopier copier;
    TransferOperations operations(main, p.folder, clock, copier);
    return report(work(operations), err);
}

} // namespace

int runExportCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    parser.addOption({u"to"_s, u"Folder to write KyTran.mdb into."_s, u"FOLDER"_s});
    if (const auto status = parse(parser, u"export"_s, args, out, err))
        return *status;
    const QString folder = parser.value(u"to"_s);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        err << "export: --to FOLDER needs an existing folder\n";
        return ExitUsage;
    }
    const Parsed p = parsedOf(parser);
    return withMainDatabase(u"export"_s, p, err, [&](TransferOperations &operations) {
        return operations.exportTo(folder, p.kinds);
    });
}

int runImportCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    parser.addOption({u"from"_s, u"The transfer file to import."_s, u"FILE"_s});
    parser.addOption({u"append"_s, u"Append to the register (附加至数据中)."_s});
    parser.addOption({u"replace"_s, u"Replace the register's rows of the chosen kinds (取代原有数据)."_s});
    if (const auto status = parse(parser, u"import"_s, args, out, err))
        return *status;
    if (parser.isSet(u"append"_s) == parser.isSet(u"replace"_s)) {
        err << "import: give one of --append and --replace\n";
        return ExitUsage;
    }
    const QString file = parser.value(u"from"_s);
    if (file.isEmpty()) {
        err << "import: --from FILE is required\n";
        return ExitUsage;
    }
    const Parsed p = parsedOf(parser);
    const ImportMode mode = parser.isSet(u"replace"_s) ? ImportMode::Replace : ImportMode::Append;
    return withMainDatabase(u"import"_s, p, err, [&](TransferOperations &operations) {
        return operations.importFrom(QFileInfo(file).absoluteFilePath(), p.kinds, mode);
    });
}

} // namespace orlu
