#include "app/appcontext.h"

#include "core/prompter.h"
#include "storage/databasefiles.h"

namespace orlu {

using namespace Qt::StringLiterals;

AppContext::AppContext(ProgramFolder f, const Clock &c, EventPump &p, Prompter &pr, LaunchPort &l,
                       ProbeLink &probeLink)
    : folder(std::move(f))
    , clock(c)
    , pump(p)
    , prompter(pr)
    , launcher(l)
    , probe(probeLink) {}

bool AppContext::openSuppliedCourses(QString *error) {
    if (suppliedDb.isOpen())
        return true;
    return suppliedDb.open(folder.file(dbfile::SuppliedCourses), Database::Access::ReadOnly, error);
}

QString AppContext::settingsPath() const {
    return folder.file(settingsFileName());
}

bool AppContext::saveSettings() {
    QString error;
    if (orlu::saveSettings(settingsPath(), settings, &error))
        return true;
    prompter.showMessageBox(MessageType::NoteError, u"设定档无法写入！\n"_s + error);
    return false;
}

} // namespace orlu
