#include "install/installer.h"

#include "analysis/referencetextbuilder.h"
#include "platform/privatefiles.h"
#include "courses/suppliedcourses.h"
#include "measure/pointpictures.h"
#include "storage/databasefiles.h"
#include "storage/schema.h"

#include <QDir>
#include <QFileInfo>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

bool step(InstallReport &report, const QString &name, bool ok, const QString &error) {
    if (ok)
        report.written << name;
    else if (report.ok) {
        report.ok = false;
        report.error = name + u": "_s + error;
    }
    return ok;
}

} // namespace

InstallReport install(const ProgramFolder &folder) {
    InstallReport report;
    // The folder will hold the register: private from the start.
    if (!createPrivateFolder(folder.path()) || !QDir().mkpath(folder.dataFolder())) {
        report.ok = false;
        report.error = u"cannot create "_s + folder.dataFolder();
        return report;
    }
    QString error;
    step(report, dbfile::Template,
         createDatabaseFile(folder.file(dbfile::Template), SchemaKind::Main, &error), error);
    step(
        report, dbfile::ReferenceTexts,
        buildReferenceTextDatabase(folder.file(dbfile::ReferenceTexts), shippedReferenceTextSource(), &error),
        error);
    step(report, dbfile::SuppliedCourses, buildSuppliedCourses(folder.file(dbfile::SuppliedCourses), &error),
         error);
    step(report, u"Data/"_s, buildPointPictures(folder.dataFolder(), &error), error);
    return report;
}

std::optional<InstallReport> installOnFirstStart(const ProgramFolder &folder) {
    if (QFileInfo::exists(folder.path()))
        return std::nullopt;
    return install(folder);
}

} // namespace orlu
