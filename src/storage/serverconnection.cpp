#include "storage/serverconnection.h"

#include <QRegularExpression>
#include <QUrl>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

bool isUri(const QString &s) {
    return s.startsWith(u"postgresql://"_s, Qt::CaseInsensitive) ||
           s.startsWith(u"postgres://"_s, Qt::CaseInsensitive);
}

QString decoded(const QString &s) {
    return QUrl::fromPercentEncoding(s.toUtf8());
}

void setError(QString *error, const QString &text) {
    if (error)
        *error = text;
}

std::optional<ConnectionOptions> parseUri(const QString &uri, QString *error) {
    ConnectionOptions out;
    QString rest = uri.mid(uri.indexOf(u"://"_s) + 3);
    QString query;
    if (const qsizetype q = rest.indexOf(u'?'); q >= 0) {
        query = rest.mid(q + 1);
        rest.truncate(q);
    }
    QString authority = rest;
    QString path;
    if (const qsizetype slash = rest.indexOf(u'/'); slash >= 0) {
        authority = rest.left(slash);
        path = rest.mid(slash + 1);
    }
    if (const qsizetype at = authority.lastIndexOf(u'@'); at >= 0) {
        const QString userInfo = authority.left(at);
        authority = authority.mid(at + 1);
        const qsizetype colon = userInfo.indexOf(u':');
        out.append({u"user"_s, decoded(colon >= 0 ? userInfo.left(colon) : userInfo)});
        if (colon >= 0)
            out.append({u"password"_s, decoded(userInfo.mid(colon + 1))});
    }
    // Several hosts may be listed, each with its own port: "h1:5432,h2:5433".
    QStringList hosts, ports;
    bool anyPort = false;
    if (!authority.isEmpty()) {
        for (const QString &hostAndPort : authority.split(u',')) {
            QString host = hostAndPort, port;
            if (hostAndPort.startsWith(u'[')) { // [::1]:5432
                const qsizetype close = hostAndPort.indexOf(u']');
                if (close < 0) {
                    setError(error, u"连接地址有误: "_s + hostAndPort);
                    return std::nullopt;
                }
                host = hostAndPort.mid(1, close - 1);
                if (hostAndPort.mid(close + 1).startsWith(u':'))
                    port = hostAndPort.mid(close + 2);
            } else if (const qsizetype colon = hostAndPort.lastIndexOf(u':'); colon >= 0) {
                host = hostAndPort.left(colon);
                port = hostAndPort.mid(colon + 1);
            }
            hosts << decoded(host);
            ports << port;
            anyPort = anyPort || !port.isEmpty();
        }
        if (!hosts.join(QString()).isEmpty())
            out.append({u"host"_s, hosts.join(u',')});
        if (anyPort)
            out.append({u"port"_s, ports.join(u',')});
    }
    if (!path.isEmpty())
        out.append({u"dbname"_s, decoded(path)});
    if (!query.isEmpty()) {
        for (const QString &pair : query.split(u'&', Qt::SkipEmptyParts)) {
            const qsizetype eq = pair.indexOf(u'=');
            if (eq <= 0) {
                setError(error, u"连接参数有误: "_s + pair);
                return std::nullopt;
            }
            QString key = decoded(pair.left(eq));
            QString value = decoded(pair.mid(eq + 1));
            if (key == u"ssl"_s && value == u"true"_s) {
                key = u"sslmode"_s;
                value = u"require"_s;
            }
            out.append({key, value});
        }
    }
    return out;
}

// keyword = value pairs; a value may be single-quoted with \' and \\ inside.
std::optional<ConnectionOptions> parseKeywords(const QString &s, QString *error) {
    ConnectionOptions out;
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto skipSpace = [&] {
        while (i < n && s.at(i).isSpace())
            ++i;
    };
    while (true) {
        skipSpace();
        if (i >= n)
            break;
        const qsizetype keyStart = i;
        while (i < n && !s.at(i).isSpace() && s.at(i) != u'=')
            ++i;
        const QString key = s.mid(keyStart, i - keyStart);
        skipSpace();
        if (key.isEmpty() || i >= n || s.at(i) != u'=') {
            setError(error, u"连接参数有误: "_s + s);
            return std::nullopt;
        }
        ++i;
        skipSpace();
        QString value;
        if (i < n && s.at(i) == u'\'') {
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar c = s.at(i++);
                if (c == u'\\' && i < n) {
                    value += s.at(i++);
                } else if (c == u'\'') {
                    closed = true;
                    break;
                } else {
                    value += c;
                }
            }
            if (!closed) {
                setError(error, u"连接参数有误: "_s + s);
                return std::nullopt;
            }
        } else {
            while (i < n && !s.at(i).isSpace())
                value += s.at(i++);
        }
        out.append({key, value});
    }
    if (out.isEmpty()) {
        setError(error, u"没有连接参数"_s);
        return std::nullopt;
    }
    return out;
}

QString quoted(const QString &value) {
    QString v = value;
    v.replace(u"\\"_s, u"\\\\"_s);
    v.replace(u"'"_s, u"\\'"_s);
    return u"'"_s + v + u"'"_s;
}

} // namespace

bool isServerConnection(const QString &setting) {
    const QString s = setting.trimmed();
    if (isUri(s))
        return true;
    // "service=NAME", "host=... dbname=...": a keyword right at the start, then '='.
    static const QRegularExpression keyword(u"^[a-z_]+\\s*="_s);
    return keyword.match(s).hasMatch();
}

std::optional<ConnectionOptions> parseServerConnection(const QString &setting, QString *error) {
    const QString s = setting.trimmed();
    if (!isServerConnection(s)) {
        setError(error, u"不是数据库服务器的连接: "_s + s);
        return std::nullopt;
    }
    return isUri(s) ? parseUri(s, error) : parseKeywords(s, error);
}

QString connectOptionsString(const ConnectionOptions &options) {
    QStringList parts;
    bool timeout = false;
    for (const auto &[key, value] : options) {
        parts << key + u"="_s + quoted(value);
        timeout = timeout || key == u"connect_timeout"_s;
    }
    if (!timeout)
        parts << u"connect_timeout=%1"_s.arg(ServerConnectTimeout);
    return parts.join(u' ');
}

QString describeServerConnection(const ConnectionOptions &options) {
    QStringList parts;
    for (const auto &[key, value] : options) {
        if (key != u"password"_s)
            parts << key + u"="_s + value;
    }
    return parts.join(u' ');
}

bool hasPassword(const ConnectionOptions &options) {
    for (const auto &option : options) {
        if (option.first == u"password"_s)
            return true;
    }
    return false;
}

} // namespace orlu
