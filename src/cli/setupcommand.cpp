#include "cli/setupcommand.h"

#include "cli/commandline.h"
#include "install/installer.h"

namespace orlu {

using namespace Qt::StringLiterals;

int runSetupCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(u"setup"_s, QString(),
                   u"Create or refresh the installation in the program folder (template database, reference "
                   u"texts, supplied courses, pictures). The main database and the settings file are never "
                   u"touched."_s);
    cl.addHomeOption();
    if (const std::optional<int> done = cl.parseOptionsOnly(args, out, err))
        return *done;
    const ProgramFolder folder = cl.folder();
    const InstallReport report = install(folder);
    for (const QString &f : report.written)
        out << "written: " << folder.file(f) << '\n';
    if (!report.ok) {
        err << "setup failed: " << report.error << '\n';
        return ExitFailed;
    }
    out << "installation ready in " << folder.path() << '\n';
    return ExitOk;
}

} // namespace orlu
