#include "cli/analysiscommands.h"

#include "analysis/analysis.h"
#include "analysis/analysisjson.h"
#include "analysis/descramble.h"
#include "analysis/textstore.h"
#include "core/channels.h"
#include "cli/commandline.h"
#include "core/programfolder.h"
#include "storage/database.h"
#include "storage/databasefiles.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace orlu {

int runAnalyseCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(u"analyse"_s, u"V1 .. V24"_s,
                   u"Analyse 24 plain readings in uA and print the whole analysis as one JSON object."_s);
    cl.addReadingOptions();
    if (const std::optional<int> done = cl.parse(args, out, err))
        return *done;
    const std::optional<Readings> readings = cl.readings(cl.positional(), err);
    if (!readings)
        return ExitUsage;
    out << analysisToJson(analyse(correctedValues(readings->values), readings->male)) << u'\n';
    return ExitOk;
}

int runDescrambleCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(u"descramble"_s, u"HEX"_s, u"Print a stored reference text in plain words."_s);
    if (const std::optional<int> done = cl.parse(args, out, err))
        return *done;
    const QStringList texts = cl.positional();
    if (texts.size() != 1)
        return cl.usageError(err, u"expected one stored text (hexadecimal digits)"_s);
    const QByteArray latin = texts[0].toLatin1();
    const auto plain =
        descrambleHex(std::string_view(latin.constData(), static_cast<std::size_t>(latin.size())));
    if (!plain)
        return cl.usageError(err, u"\"%1\" is not a scrambled text"_s.arg(texts[0]));
    out << fromGbk(QByteArray(plain->data(), static_cast<qsizetype>(plain->size()))) << u'\n';
    return ExitOk;
}

int runScrambleCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(u"scramble"_s, u"TEXT"_s, u"Print the stored form of TEXT."_s);
    cl.addValueOption(u"seed"_s, u"N"_s, u"Scramble from seed N (0..255, default 0)."_s);
    if (const std::optional<int> done = cl.parse(args, out, err))
        return *done;
    const QStringList texts = cl.positional();
    if (texts.size() != 1)
        return cl.usageError(err, u"expected one text"_s);
    int seed = 0;
    if (cl.isSet(u"seed"_s)) {
        // Seeds are often written as they appear in a stored text: "0x41".
        bool ok = false;
        seed = cl.value(u"seed"_s).toInt(&ok, 0);
        if (!ok || seed < 0 || seed > 255)
            return cl.usageError(err, u"--seed needs a number 0..255"_s);
    }
    bool encoded = false;
    const QByteArray gbk = toGbk(texts[0], &encoded);
    if (!encoded)
        return cl.usageError(err, u"the text has characters that GBK cannot hold"_s);
    bool ok = false;
    const QString stored = scramble(gbk, static_cast<std::uint8_t>(seed), &ok);
    if (!ok)
        return cl.usageError(err, u"the text cannot be scrambled"_s);
    out << stored << u'\n';
    return ExitOk;
}

int runTextsCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(u"texts"_s, QString(), u"Print every column of reference record K of orluCn.mdb."_s);
    cl.addHomeOption();
    cl.addValueOption(u"key"_s, u"K"_s, u"The record: 1..12 meridians, 13..17 state items."_s);
    if (const std::optional<int> done = cl.parseOptionsOnly(args, out, err))
        return *done;
    if (!cl.isSet(u"key"_s))
        return cl.usageError(err, u"--key K is required"_s);
    const std::optional<qint64> key = cl.integerValue(u"key"_s, 0, std::numeric_limits<int>::max(), err);
    if (!key)
        return ExitUsage;
    const ProgramFolder folder = cl.folder();
    Database db;
    QString error;
    if (!db.open(folder.file(dbfile::ReferenceTexts), Database::Access::ReadOnly, &error)) {
        err << u"texts: "_s << error << u'\n';
        return ExitFailed;
    }
    const ReferenceTextStore store(db.handle());
    const int record = static_cast<int>(*key);
    if (!store.hasRecord(record)) {
        err << u"texts: no record %1 in "_s.arg(record) << db.path() << u'\n';
        return ExitFailed;
    }
    for (TextColumn c : textColumns()) {
        if (!columnUsedBy(record, c))
            continue;
        const QString label = columnLabel(c);
        out << u"["_s << columnName(c) << u"]"_s << (label.isEmpty() ? QString() : u" "_s + label) << u'\n'
            << store.text(record, c) << u"\n\n"_s;
    }
    const QByteArray picture = store.picture(record);
    out << u"[DtGpM] "_s
        << (picture.isEmpty() ? u"(none)"_s
                              : u"%1 bytes%2"_s.arg(picture.size())
                                    .arg(picture.startsWith("\x89PNG") ? u", PNG"_s : QString()))
        << u'\n';
    return ExitOk;
}

} // namespace orlu
