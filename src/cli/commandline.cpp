#include "cli/commandline.h"

#include "core/readingsrule.h"
#include "core/version.h"

#include <QRegularExpression>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr int ReadingCount = 24;
const QString EscapePrefix = u"\x01neg"_s;

bool looksLikeNegativeNumber(const QString &arg) {
    static const QRegularExpression pattern(u"^-[0-9.]"_s);
    return pattern.match(arg).hasMatch();
}

} // namespace

std::optional<std::array<double, 24>> parseReadings(const QStringList &values, QString *error) {
    if (values.size() != ReadingCount) {
        if (error)
            *error = u"expected 24 readings in uA, got %1"_s.arg(values.size());
        return std::nullopt;
    }
    std::array<double, 24> readings{};
    for (int c = 0; c < ReadingCount; ++c) {
        const std::optional<double> v = readingFromText(values[c]);
        if (!v) {
            if (error)
                *error = u"reading %1 is not a number of uA of 0 or more, below %2, in plain decimals: %3"_s
                             .arg(c + 1)
                             .arg(ReadingLimit, 0, 'f', 0)
                             .arg(quotedArgument(values[c]));
            return std::nullopt;
        }
        readings[static_cast<std::size_t>(c)] = *v;
    }
    return readings;
}

CommandLine::CommandLine(QString command, QString positionalSyntax, QString description)
    : m_command(std::move(command))
    , m_positionalSyntax(std::move(positionalSyntax))
    , m_description(std::move(description)) {
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addOption(QCommandLineOption({u"h"_s, u"help"_s}, u"Show this help."_s));
    m_parser.addOption(QCommandLineOption(u"version"_s, u"Show the program's version."_s));
}

void CommandLine::addFlag(const QString &name, const QString &description) {
    m_parser.addOption(QCommandLineOption(name, description));
    m_options << u"--"_s + name;
    m_optionLines << u"  --%1\n      %2"_s.arg(name, description);
}

void CommandLine::addValueOption(const QString &name, const QString &valueName, const QString &description) {
    m_parser.addOption(QCommandLineOption(name, description, valueName));
    m_options << u"--%1 %2"_s.arg(name, valueName);
    m_optionLines << u"  --%1 %2\n      %3"_s.arg(name, valueName, description);
}

void CommandLine::addRepeatableValueOption(const QString &name, const QString &valueName,
                                           const QString &description) {
    addValueOption(name, valueName, description);
    m_options.last() += u" ..."_s;
    m_repeatable << name;
}

void CommandLine::addHomeOption() {
    addValueOption(u"home"_s, u"DIR"_s,
                   u"The program folder (default: $ORLU_HOME, else $XDG_DATA_HOME/quorix/orlu/)."_s);
}

void CommandLine::addReadingOptions() {
    addValueOption(u"sex"_s, u"male|female"_s, u"The subject's sex (default: male)."_s);
}

std::optional<int> CommandLine::parse(const QStringList &args, QTextStream &out, QTextStream &err) {
    // The parser would take "-5" for an option; a reading or a value it is.
    QStringList escaped{u"orlu-cli"_s};
    m_escaped.clear();
    for (const QString &a : args) {
        if (looksLikeNegativeNumber(a)) {
            escaped << EscapePrefix + QString::number(m_escaped.size());
            m_escaped << a;
        } else {
            escaped << a;
        }
    }
    if (!m_parser.parse(escaped)) {
        const QStringList unknown = m_parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString &name = unknown.first();
            return usageError(err, u"unknown option: "_s + (name.size() > 1 ? u"--"_s : u"-"_s) + name);
        }
        static const QRegularExpression missing(u"^Missing value after '(.+)'\\.?$"_s);
        const auto m = missing.match(m_parser.errorText());
        return usageError(err, m.hasMatch() ? m.captured(1) + u" needs a value"_s : m_parser.errorText());
    }
    if (m_parser.isSet(u"help"_s)) {
        out << helpText();
        out.flush();
        return ExitOk;
    }
    if (m_parser.isSet(u"version"_s)) {
        out << "orlu-cli " << programVersion() << '\n';
        out.flush();
        return ExitOk;
    }
    const QStringList names = m_parser.optionNames();
    for (const QString &name : names) {
        if (names.count(name) > 1 && !m_repeatable.contains(name))
            return usageError(err, u"--%1 given more than once"_s.arg(name));
    }
    return std::nullopt;
}

QString CommandLine::original(const QString &text) const {
    if (!text.startsWith(EscapePrefix))
        return text;
    return m_escaped.value(text.mid(EscapePrefix.size()).toInt());
}

std::optional<int> CommandLine::parseOptionsOnly(const QStringList &args, QTextStream &out,
                                                 QTextStream &err) {
    if (const std::optional<int> done = parse(args, out, err))
        return done;
    if (!positional().isEmpty())
        return usageError(err, u"unexpected argument \"%1\""_s.arg(positional().first()));
    return std::nullopt;
}

bool CommandLine::isSet(const QString &name) const {
    return m_parser.isSet(name);
}

QString CommandLine::value(const QString &name) const {
    return original(m_parser.value(name));
}

QStringList CommandLine::values(const QString &name) const {
    QStringList values;
    for (const QString &v : m_parser.values(name))
        values << original(v);
    return values;
}

QStringList CommandLine::positional() const {
    QStringList values;
    for (const QString &p : m_parser.positionalArguments())
        values << original(p);
    return values;
}

ProgramFolder CommandLine::folder() const {
    return isSet(u"home"_s) ? ProgramFolder(value(u"home"_s)) : ProgramFolder::fromEnvironment();
}

std::optional<Readings> CommandLine::readings(const QStringList &values, QTextStream &err) const {
    Readings r;
    if (isSet(u"sex"_s)) {
        const QString sex = value(u"sex"_s);
        if (sex != u"male"_s && sex != u"female"_s) {
            usageError(err, u"--sex must be male or female, not \"%1\""_s.arg(sex));
            return std::nullopt;
        }
        r.male = sex == u"male"_s;
    }
    QString error;
    const auto parsed = parseReadings(values, &error);
    if (!parsed) {
        usageError(err, error);
        return std::nullopt;
    }
    r.values = *parsed;
    return r;
}

std::optional<qint64> CommandLine::integerValue(const QString &name, qint64 min, qint64 max,
                                                QTextStream &err) const {
    bool ok = false;
    const QString text = value(name);
    const qint64 v = text.toLongLong(&ok);
    if (ok && v >= min && v <= max)
        return v;
    const QString range = max == std::numeric_limits<qint64>::max() ? u"%1 or more"_s.arg(min)
                                                                    : u"%1 to %2"_s.arg(min).arg(max);
    usageError(err, u"--%1 needs a whole number of %2, not \"%3\""_s.arg(name, range, text));
    return std::nullopt;
}

QString CommandLine::usage() const {
    QString line = u"orlu-cli "_s + m_command;
    if (!m_positionalSyntax.isEmpty())
        line += u' ' + m_positionalSyntax;
    for (const QString &option : std::as_const(m_options))
        line += u" ["_s + option + u']';
    return line;
}

int CommandLine::usageError(QTextStream &err, const QString &message) const {
    err << m_command << ": " << message << "\nusage: " << usage() << "\n(orlu-cli " << m_command
        << " --help tells more)\n";
    err.flush();
    return ExitUsage;
}

QString CommandLine::helpText() const {
    QString text = u"usage: "_s + usage() + u"\n\n"_s + m_description + u"\n\nOptions:\n"_s;
    for (const QString &line : m_optionLines)
        text += line + u'\n';
    text += u"  --help\n      Show this help.\n  --version\n      Show the program's version.\n"_s;
    return text;
}

} // namespace orlu
