#include "analysis/analysiscommands.h"

#include "analysis/analysis.h"
#include "analysis/analysisjson.h"
#include "analysis/descramble.h"
#include "analysis/textstore.h"
#include "core/channels.h"
#include "core/programfolder.h"
#include "records/database.h"
#include "records/databasefiles.h"

#include <QDir>
#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

int usage(QTextStream &err, const QString &message) {
    err << message << u'\n';
    err.flush();
    return ExitUsage;
}

std::optional<double> parseNumber(const QString &s) {
    bool ok = false;
    const double v = QLocale::c().toDouble(s, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

int analyseCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    QString error;
    const std::optional<ReadingArguments> parsed = parseReadingArguments(args, {}, &error);
    if (!parsed)
        return usage(err, error);
    out << analysisToJson(analyse(correctedValues(parsed->readings), parsed->male)) << u'\n';
    return 0;
}

int descrambleCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    if (args.size() != 2)
        return usage(err, u"descramble: expected one stored text (hexadecimal digits)"_s);
    const QByteArray latin = args[1].toLatin1();
    const auto plain =
        descrambleHex(std::string_view(latin.constData(), static_cast<std::size_t>(latin.size())));
    if (!plain)
        return usage(err, u"descramble: \"%1\" is not a scrambled text"_s.arg(args[1]));
    out << fromGbk(QByteArray(plain->data(), static_cast<qsizetype>(plain->size()))) << u'\n';
    return 0;
}

int scrambleCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    std::optional<QString> text;
    int seed = 0;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == u"--seed") {
            bool ok = false;
            seed = i + 1 < args.size() ? args[++i].toInt(&ok, 0) : -1;
            if (!ok || seed < 0 || seed > 255)
                return usage(err, u"scramble: --seed needs a number 0..255"_s);
        } else if (a.startsWith(u"--")) {
            return usage(err, u"scramble: unknown option \"%1\""_s.arg(a));
        } else if (text) {
            return usage(err, u"scramble: expected one text"_s);
        } else {
            text = a;
        }
    }
    if (!text)
        return usage(err, u"scramble: expected one text"_s);
    bool encoded = false;
    const QByteArray gbk = toGbk(*text, &encoded);
    if (!encoded)
        return usage(err, u"scramble: the text has characters that GBK cannot hold"_s);
    bool ok = false;
    const QString stored = scramble(gbk, static_cast<std::uint8_t>(seed), &ok);
    if (!ok)
        return usage(err, u"scramble: the text cannot be scrambled"_s);
    out << stored << u'\n';
    return 0;
}

int textsCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    std::optional<QString> home;
    std::optional<int> key;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == u"--home" && i + 1 < args.size()) {
            home = args[++i];
        } else if (a == u"--key" && i + 1 < args.size()) {
            bool ok = false;
            key = args[++i].toInt(&ok);
            if (!ok)
                return usage(err, u"texts: --key needs a record number"_s);
        } else {
            return usage(err, u"texts: unexpected argument \"%1\""_s.arg(a));
        }
    }
    if (!key)
        return usage(err, u"texts: --key K is required"_s);
    const ProgramFolder folder =
        home ? ProgramFolder(QDir(*home).absolutePath() + u'/') : ProgramFolder::fromEnvironment();
    Database db;
    QString error;
    if (!db.open(folder.file(dbfile::ReferenceTexts), Database::Access::ReadOnly, &error)) {
        err << u"texts: "_s << error << u'\n';
        return ExitFailed;
    }
    const ReferenceTextStore store(db.handle());
    if (!store.hasRecord(*key)) {
        err << u"texts: no record %1 in "_s.arg(*key) << db.path() << u'\n';
        return ExitFailed;
    }
    for (TextColumn c : textColumns()) {
        if (!columnUsedBy(*key, c))
            continue;
        const QString label = columnLabel(c);
        out << u"["_s << columnName(c) << u"]"_s << (label.isEmpty() ? QString() : u" "_s + label) << u'\n'
            << store.text(*key, c) << u"\n\n"_s;
    }
    const QByteArray picture = store.picture(*key);
    out << u"[DtGpM] "_s
        << (picture.isEmpty() ? u"(none)"_s
                              : u"%1 bytes%2"_s.arg(picture.size())
                                    .arg(picture.startsWith("\x89PNG") ? u", PNG"_s : QString()))
        << u'\n';
    return 0;
}

} // namespace

std::optional<ReadingArguments> parseReadingArguments(const QStringList &args,
                                                      const QStringList &valueOptions, QString *error) {
    const QString command = args.value(0);
    auto fail = [&](const QString &message) {
        if (error)
            *error = command + u": "_s + message;
        return std::nullopt;
    };
    ReadingArguments parsed;
    QList<double> values;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == u"--sex") {
            if (i + 1 >= args.size())
                return fail(u"--sex needs male or female"_s);
            const QString sex = args[++i];
            if (sex == u"male")
                parsed.male = true;
            else if (sex == u"female")
                parsed.male = false;
            else
                return fail(u"--sex must be male or female, not \"%1\""_s.arg(sex));
            continue;
        }
        if (valueOptions.contains(a)) {
            if (i + 1 >= args.size())
                return fail(a + u" needs a value"_s);
            parsed.options.insert(a, args[++i]);
            continue;
        }
        // "-5" is a (negative) number, "--x" an option.
        if (a.startsWith(u"--"))
            return fail(u"unknown option \"%1\""_s.arg(a));
        const auto v = parseNumber(a);
        if (!v)
            return fail(u"\"%1\" is not a number"_s.arg(a));
        values << *v;
    }
    if (values.size() != ChannelCount)
        return fail(u"expected 24 readings in uA, got %1"_s.arg(values.size()));
    std::copy(values.begin(), values.end(), parsed.readings.begin());
    return parsed;
}

bool isAnalysisCommand(const QString &name) {
    return name == u"analyse" || name == u"descramble" || name == u"scramble" || name == u"texts";
}

int runAnalysisCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    int status = ExitUsage;
    const QString command = args.value(0);
    if (command == u"analyse")
        status = analyseCommand(args, out, err);
    else if (command == u"descramble")
        status = descrambleCommand(args, out, err);
    else if (command == u"scramble")
        status = scrambleCommand(args, out, err);
    else if (command == u"texts")
        status = textsCommand(args, out, err);
    else
        status = usage(err, u"unknown command \"%1\""_s.arg(command));
    out.flush();
    err.flush();
    return status;
}

QString analysisCommandsHelp() {
    return u"  orlu-cli analyse [--sex male|female] V1 .. V24\n"
           "      Analyse 24 plain readings in uA, given in channel order (left hand LU PC HT SI SJ LI,\n"
           "      right hand, left foot SP LR KI BL GB ST, right foot). Prints one JSON object with the\n"
           "      corrected values, sums, body energy, bands, grades, ratios, verdicts, pairs and the\n"
           "      three meridian lists. Reals carry 17 significant digits; an undefined ratio and its\n"
           "      verdict are null. The sex defaults to male.\n"
           "  orlu-cli descramble HEX\n"
           "      Print a stored reference text (hexadecimal digit pairs) in plain words.\n"
           "  orlu-cli scramble TEXT [--seed N]\n"
           "      Print the stored form of TEXT, scrambled from seed N (0..255, default 0).\n"
           "  orlu-cli texts [--home DIR] --key K\n"
           "      Print every column of reference record K (1..12 meridians, 13..17 state items) of\n"
           "      orluCn.mdb in the program folder DIR (default: the installation folder).\n"
           "  Bad arguments give a message on stderr and exit status 2.\n"_s;
}

} // namespace orlu
