#include "cli/qualitycommand.h"

#include "cli/commandline.h"
#include "quality/pointqualityjson.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace orlu {

int runQualityCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(
        u"quality"_s, u"[FILE|-]"_s,
        u"Assess one measured point: {\"threshold\": T, \"attempts\": A, \"samples\": [[ms, reading, k], "
        u"...]} from FILE or standard input."_s);
    if (const std::optional<int> done = cl.parse(args, out, err))
        return *done;
    const QStringList positional = cl.positional();
    if (positional.size() > 1)
        return cl.usageError(err, u"unexpected argument \"%1\""_s.arg(positional.at(1)));
    const QString path = positional.value(0, u"-"_s);
    QFile file;
    const bool opened = path == u"-"_s ? file.open(stdin, QIODevice::ReadOnly)
                                       : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened)
        return cl.usageError(err, u"cannot read %1: %2"_s.arg(path, file.errorString()));
    QString error;
    const std::optional<QualityInput> input = parseQualityInput(file.readAll(), &error);
    if (!input)
        return cl.usageError(err, error);
    out << qualityJson(assessPoint(input->samples, input->threshold, input->attempts)) << '\n';
    return ExitOk;
}

} // namespace orlu
