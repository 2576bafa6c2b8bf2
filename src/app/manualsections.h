#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace orlu {

// The section of the operator's manual that tells about a window, from the object names of
// the window and of the windows beneath it (the window first): the first one the manual has a
// section for. Empty when none has (the manual then opens at its beginning).
QString manualSection(const QStringList &windowNames);

// The manual's page: installed beside the program (share/doc/orlu/manual), else made in the
// build tree the program runs from (scripts/build-manual). `programDir` is the folder of the
// running program; `exists` tells whether a file is there.
struct ManualLocation {
    QUrl page;             // with the section as fragment; empty when no manual was found
    QString installedPath; // where an installed manual would be, to name when none was found
};
ManualLocation findManual(const QString &programDir, const QString &section,
                          const std::function<bool(const QString &)> &exists);

} // namespace orlu
