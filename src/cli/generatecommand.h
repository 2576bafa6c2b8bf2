#pragma once

#include <QStringList>
#include <QTextStream>

namespace orlu {

// "generate-register [--home DIR | --database FILE] --subjects N --measurements M [--seed S]":
// fills a main database with made-up subjects and measurements for load tests.
int runGenerateRegisterCommand(const QStringList &args, QTextStream &out, QTextStream &err);

} // namespace orlu
