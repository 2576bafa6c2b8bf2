#include "core/settings.h"

#include "core/daycount.h"
#include "core/numberformat.h"
#include "platform/outputfile.h"
#include "platform/privatefiles.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

const char *const CodePage = "GBK";

const QString DefaultPrintOptions = u"0111000000000000000"_s;
const QString DefaultTitle = u"ORLU经络能量分析仪"_s;
const QString DefaultReportTitle = u"ORLU 经络能量分析仪分析报表"_s;
const QString DefaultUserData1 = u"澄霁事业有限公司"_s;
const QString DefaultUserData2 = u"vadadidur"_s;
const QString DefaultReservedFlags = u"11000"_s;
// A file without any button flags shows no custom buttons; a missing file
// gets the three buttons of a fresh installation.
const QString BlankLineButtonFlags = u"000000"_s;
const QString NewFileButtonFlags = u"111000"_s;

constexpr int MinCalibration = 2000;
constexpr int DefaultCalibration = 4000;

QString textOr(const QString &line, const QString &fallback) {
    return line.trimmed().isEmpty() ? fallback : line;
}

int intOr(const QString &line, int fallback) {
    bool ok = false;
    const int v = line.toInt(&ok, 10);
    return ok ? v : fallback;
}

int calibrationFrom(const QString &line) {
    const int v = intOr(line, DefaultCalibration);
    return v < MinCalibration ? DefaultCalibration : v;
}

// Reals are written with the locale's decimal separator; a file written under
// another locale still reads, since the C form is accepted as well.
double realOr(const QString &line, double fallback) {
    QLocale local;
    local.setNumberOptions(QLocale::RejectGroupSeparator);
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    double v = local.toDouble(line, &ok);
    if (!ok)
        v = c.toDouble(line, &ok);
    // "nan" and "inf" convert, but no setting can use them.
    return ok && std::isfinite(v) ? v : fallback;
}

QString realText(double v) {
    QString s = formatGeneral(v);
    const QString point = QLocale().decimalPoint();
    if (point != u"."_s)
        s.replace(u'.', point);
    return s;
}

QString boolText(bool b) {
    return b ? u"1"_s : u"0"_s;
}

bool isFlagSet(const QString &line) {
    return line == u"1"_s;
}

// Splits raw file content into at most 36 lines. CR LF, LF and a lone CR
// each end a line; GBK trail bytes are never CR or LF, so splitting on bytes
// is safe. Each line is decoded on its own so a broken byte sequence cannot
// swallow the next line.
class LineReader {
public:
    explicit LineReader(QIODevice &in)
        : m_in(in) {}

    // False on a read error of the device.
    bool readLines(QStringList &out) {
        char chunk[16 * 1024];
        qint64 total = 0;
        while (out.size() < SettingsLineCount && total < MaxSettingsFileBytes) {
            const qint64 n = m_in.read(chunk, sizeof chunk);
            if (n < 0)
                return false;
            if (n == 0)
                break;
            total += n;
            take(chunk, chunk + n, out);
        }
        if (out.size() < SettingsLineCount && !m_line.isEmpty())
            out.append(decode(m_line));
        return true;
    }

private:
    void take(const char *p, const char *end, QStringList &out) {
        while (p < end && out.size() < SettingsLineCount) {
            if (m_skipLf) {
                m_skipLf = false;
                if (*p == '\n') {
                    ++p;
                    continue;
                }
            }
            const char *brk = std::find_if(p, end, [](char ch) { return ch == '\r' || ch == '\n'; });
            const qsizetype room = MaxSettingsLineBytes - m_line.size();
            m_line.append(p, std::min<qsizetype>(room, brk - p));
            if (brk == end)
                return;
            out.append(decode(m_line));
            m_line.clear();
            m_skipLf = *brk == '\r';
            p = brk + 1;
        }
    }

    static QString decode(const QByteArray &bytes) {
        QStringDecoder decoder(CodePage, QStringConverter::Flag::Stateless);
        return decoder.decode(bytes);
    }

    QIODevice &m_in;
    QByteArray m_line;
    bool m_skipLf = false;
};

bool readSettingsLines(QIODevice &in, QStringList &lines) {
    LineReader reader(in);
    return reader.readLines(lines);
}

bool hasNoWriteBit(const QFileInfo &info) {
    // The mode bits, not access(): the administrator's account may write
    // anything, yet a file marked read-only should stay as it is.
    const auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.isFile() && !(info.permissions() & writeBits);
}

void setError(QString *error, const QString &text) {
    if (error)
        *error = text;
}

} // namespace

QString settingsFileName() {
    return u"KyDefCn.ini"_s;
}

QString makerWebAddress() {
    return u"https://www.quorix.example/orlu"_s;
}

Settings defaultSettings(const QDate &today) {
    Settings s;
    s.standardCalibration = DefaultCalibration;
    s.highCalibration = DefaultCalibration;
    s.printOptions = DefaultPrintOptions;
    s.measuringThreshold = 1.0;
    s.lastCalibrationDate = shortDate(today);
    s.highPotential = false;
    s.title = DefaultTitle;
    s.reportTitle = DefaultReportTitle;
    s.userData1 = DefaultUserData1;
    s.userData2 = DefaultUserData2;
    s.reservedFlags = DefaultReservedFlags;
    s.locateSound = true;
    s.locateKeepHighest = false;
    s.locateParameter = 2;
    s.locateHighestReading = 0.0;
    s.locateHighPotential = false;
    s.pointPictureStyle = 1;
    s.customButtonFlags = NewFileButtonFlags;
    s.custom = {};
    s.custom[0] = {u"连结澄霁事业有限公司全球信息网"_s, QString(), makerWebAddress()};
    s.custom[1] = {u"启动影音播放功能"_s, u"wmplayer.exe"_s, QString()};
    s.custom[2] = {u"文件编辑功能"_s, u"winword.exe"_s, QString()};
    return s;
}

Settings settingsFromLines(const QStringList &lines, const QDate &today) {
    const auto line = [&lines](int n) { return n <= lines.size() ? lines.at(n - 1) : QString(); };
    Settings s;
    s.standardCalibration = calibrationFrom(line(1));
    s.highCalibration = calibrationFrom(line(2));
    s.printOptions = textOr(line(3), DefaultPrintOptions);
    s.measuringThreshold = realOr(line(4), 1.0);
    s.lastCalibrationDate = textOr(line(5), shortDate(today));
    s.highPotential = isFlagSet(line(6));
    s.title = textOr(line(7), DefaultTitle);
    s.reportTitle = textOr(line(8), DefaultReportTitle);
    s.userData1 = textOr(line(9), DefaultUserData1);
    s.userData2 = textOr(line(10), DefaultUserData2);
    s.reservedFlags = textOr(line(11), DefaultReservedFlags);
    s.locateSound = isFlagSet(line(12));
    s.locateKeepHighest = isFlagSet(line(13));
    s.locateParameter = intOr(line(14), 2);
    s.locateHighestReading = realOr(line(15), 0.0);
    s.locateHighPotential = isFlagSet(line(16));
    s.pointPictureStyle = intOr(line(17), 1);
    s.customButtonFlags = textOr(line(18), BlankLineButtonFlags);
    for (int k = 0; k < CustomButtonCount; ++k) {
        s.custom[k].hint = line(19 + k);
        s.custom[k].program = line(25 + k);
        s.custom[k].parameter = line(31 + k);
    }
    return s;
}

QStringList settingsToLines(const Settings &s) {
    QStringList lines;
    lines.reserve(SettingsLineCount);
    lines << QString::number(s.standardCalibration) << QString::number(s.highCalibration) << s.printOptions
          << realText(s.measuringThreshold) << s.lastCalibrationDate << boolText(s.highPotential) << s.title
          << s.reportTitle << s.userData1 << s.userData2 << s.reservedFlags << boolText(s.locateSound)
          << boolText(s.locateKeepHighest) << QString::number(s.locateParameter)
          << realText(s.locateHighestReading) << boolText(s.locateHighPotential)
          << QString::number(s.pointPictureStyle) << s.customButtonFlags;
    for (const CustomLaunch &c : s.custom)
        lines << c.hint;
    for (const CustomLaunch &c : s.custom)
        lines << c.program;
    for (const CustomLaunch &c : s.custom)
        lines << c.parameter;
    return lines;
}

Settings settingsFromBytes(const QByteArray &bytes, const QDate &today) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QStringList lines;
    readSettingsLines(buffer, lines);
    return settingsFromLines(lines, today);
}

QByteArray settingsToBytes(const Settings &s) {
    // Characters GBK cannot hold are written as "?"; a line break inside a
    // value would shift every later line, so it becomes a blank.
    QStringEncoder encoder(CodePage);
    QByteArray out;
    for (QString line : settingsToLines(s)) {
        line.replace(u'\r', u' ').replace(u'\n', u' ');
        out += encoder.encode(line);
        out += "\r\n";
    }
    return out;
}

Settings loadSettings(const QString &path, const QDate &today, QString *error) {
    // Opening a pipe or a device would wait for a writer that never comes.
    if (const PathKind kind = pathKind(path); kind != PathKind::Regular && kind != PathKind::Absent) {
        setError(error, u"设定档 %1 不是普通文件，没有读取。"_s.arg(path));
        return defaultSettings(today);
    }
    QFile file(path);
    QStringList lines;
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, u"无法读取设定档 %1：%2"_s.arg(path, file.errorString()));
        return defaultSettings(today);
    }
    if (!readSettingsLines(file, lines)) {
        setError(error, u"读取设定档 %1 时发生错误：%2"_s.arg(path, file.errorString()));
        return defaultSettings(today);
    }
    return settingsFromLines(lines, today);
}

bool saveSettings(const QString &path, const Settings &s, QString *error) {
    const QString kept = u"原有的设定档保持不变。"_s;
    if (hasNoWriteBit(QFileInfo(path))) {
        setError(error, u"设定档 %1 为只读文件，无法写入。"_s.arg(path) + kept);
        return false;
    }
    if (const PathKind kind = pathKind(path); kind != PathKind::Regular && kind != PathKind::Absent) {
        setError(error, u"设定档 %1 不是普通文件，无法写入。"_s.arg(path) + kept);
        return false;
    }
    if (QString why; !writeOutputFile(path, settingsToBytes(s), &why)) {
        setError(error, u"无法写入设定档 %1：%2。"_s.arg(path, why) + kept);
        return false;
    }
    // The operator's names and addresses: readable by the owner only, a stricter mode kept.
    makePrivate(path);
    return true;
}

Settings loadOrCreateSettings(const QString &path, const QDate &today, QString *error) {
    if (QFileInfo::exists(path))
        return loadSettings(path, today, error);
    Settings s = defaultSettings(today);
    saveSettings(path, s, error);
    return s;
}

bool customButtonVisible(const QString &flags, int k) {
    return !(k >= 1 && k <= flags.size() && flags.at(k - 1) == u'0');
}

bool customButtonTicked(const QString &flags, int k) {
    return k >= 1 && k <= flags.size() && flags.at(k - 1) == u'1';
}

} // namespace orlu
