#pragma once

#include <QString>

// Building the reference text database "orluCn.mdb" from its readable source.
namespace orlu {

// The source shipped with the program, compiled in as a resource.
QString shippedReferenceTextSource();

// Creates `dbPath` with table KYMTDB holding the 17 records of `sourceFile`
// (a path or a resource path), every text converted to GBK and scrambled, and
// a generated course diagram for each meridian. The file is written beside
// `dbPath` and moved into place only when complete, so an existing database
// survives a failed build. Returns false with a message in *error.
bool buildReferenceTextDatabase(const QString &dbPath, const QString &sourceFile, QString *error);

// The seed a text of (key, column index) is scrambled with: fixed, so a build
// is reproducible, and different between texts.
int referenceTextSeed(int key, int columnIndex);

} // namespace orlu
