#pragma once

#include "core/programfolder.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace orlu {

// Creates or refreshes an installation: the empty template database, the
// reference texts, the supplied courses and the picture folder. The operator's
// own files (the main database and the settings file) are never touched.
struct InstallReport {
    bool ok = true;
    QStringList written; // file names relative to the program folder
    QString error;
};

// Draws pictures: needs a QGuiApplication (the offscreen platform will do).
InstallReport install(const ProgramFolder &folder);

// The first start on a seat: a program folder that does not exist yet is made from
// the installation data, as "setup" does; nothing happens to an existing one (what it
// lacks is the installation check's to tell). Empty when there was nothing to do.
std::optional<InstallReport> installOnFirstStart(const ProgramFolder &folder);

} // namespace orlu
