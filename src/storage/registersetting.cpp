#include "storage/registersetting.h"

#include "platform/outputfile.h"
#include "storage/databasefiles.h"
#include "storage/serverconnection.h"

#include <QFile>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const QString Key = u"connection="_s;

void setError(QString *error, const QString &text) {
    if (error)
        *error = text;
}

} // namespace

QString storedRegisterConnection(const ProgramFolder &folder, QString *error) {
    QFile f(folder.file(RegisterSettingFile));
    if (!f.exists())
        return {};
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        setError(error, f.errorString());
        return {};
    }
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(Key))
            return line.mid(Key.size()).trimmed();
    }
    return {};
}

bool storeRegisterConnection(const ProgramFolder &folder, const QString &connection, QString *error) {
    const QString path = folder.file(RegisterSettingFile);
    const QString c = connection.trimmed();
    if (c.isEmpty()) {
        if (QFile::exists(path) && !QFile::remove(path)) {
            setError(error, u"无法删除 "_s + path);
            return false;
        }
        return true;
    }
    const std::optional<ConnectionOptions> options = parseServerConnection(c, error);
    if (!options)
        return false;
    if (hasPassword(*options)) {
        setError(error,
                 u"连接中不得包含密码；请使用服务器的密码文件 (.pgpass) 或服务文件 (pg_service.conf)。"_s);
        return false;
    }
    const QByteArray text =
        "# The register on a server that this seat uses (a postgresql:// URI or service=NAME).\n" +
        (Key + c + u"\n"_s).toUtf8();
    return writeOutputFile(path, text, error);
}

QString registerLocation(const ProgramFolder &folder) {
    const QString fromEnvironment = qEnvironmentVariable("ORLU_DATABASE").trimmed();
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QString stored = storedRegisterConnection(folder);
    return stored.isEmpty() ? folder.file(dbfile::Main) : stored;
}

} // namespace orlu
