#include "storage/serverschema.h"

#include "storage/database.h"
#include "storage/schema.h"

#include <QSqlError>
#include <QSqlQuery>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const QStringList RegisterTables{u"KYCUST"_s, u"KYDATA"_s, u"KYPRO"_s, u"KYPRDT"_s};
// Tables without a key sequence of their own.
const QStringList KeylessTables{u"KYQUAL"_s, u"ORLUREG"_s, u"KYORIGIN"_s};

QString changeTriggerSql(const QString &table) {
    return u"CREATE TRIGGER %1_changed AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON %1 "
           "FOR EACH STATEMENT EXECUTE FUNCTION orlu_register_changed()"_s.arg(table);
}

QString operatorGrantSql(const QString &table, const QString &role) {
    return u"GRANT SELECT, INSERT, UPDATE, DELETE ON %1 TO %2"_s.arg(table, role);
}

// A register of an earlier schema version gets the tables added since, their notices and
// rights, and its identity.
InitResult upgradeServerRegister(QSqlDatabase db, QString *error) {
    Transaction tx(db);
    QString failure;
    const QStringList added = missingMainTables(db);
    if (!tx.isActive())
        failure = db.lastError().text();
    else if (upgradeMainSchema(db, &failure)) {
        QStringList statements;
        for (const QString &table : added)
            statements << changeTriggerSql(table) << operatorGrantSql(table, QLatin1StringView(OperatorRole));
        statements << u"INSERT INTO orlu_schema_version (version) VALUES (%1)"_s.arg(SchemaVersion);
        QSqlQuery q(db);
        for (const QString &sql : statements) {
            if (!q.exec(sql)) {
                failure = sql + u": "_s + q.lastError().text();
                break;
            }
        }
        if (failure.isEmpty() && !tx.commit())
            failure = db.lastError().text();
    }
    if (failure.isEmpty())
        return InitResult::Upgraded;
    if (error)
        *error = failure;
    return InitResult::Failed;
}

} // namespace

QStringList serverRegisterSql() {
    QStringList sql{
        u"CREATE TABLE orlu_schema_version (version INTEGER NOT NULL)"_s,
        u"INSERT INTO orlu_schema_version (version) VALUES (%1)"_s.arg(SchemaVersion),
        // One notice per statement is enough: the lists read their keys again anyway, and the
        // server folds equal notices of one transaction into one.
        u"CREATE FUNCTION orlu_register_changed() RETURNS trigger LANGUAGE plpgsql AS $$ "
        "BEGIN PERFORM pg_notify('%1', lower(TG_TABLE_NAME)); RETURN NULL; END $$"_s.arg(
            QLatin1StringView(RegisterChangeChannel)),
    };
    for (const QString &table : RegisterTables + KeylessTables)
        sql << changeTriggerSql(table);
    return sql;
}

int serverSchemaVersion(const QSqlDatabase &db) {
    QSqlQuery q(db);
    if (!q.exec(u"SELECT to_regclass('orlu_schema_version') IS NOT NULL"_s) || !q.next() ||
        !q.value(0).toBool())
        return 0;
    return q.exec(u"SELECT max(version) FROM orlu_schema_version"_s) && q.next() ? q.value(0).toInt() : 0;
}

InitResult initServerRegister(QSqlDatabase db, QString *error) {
    auto fail = [&](const QString &text) {
        if (error)
            *error = text;
        return InitResult::Failed;
    };
    const int version = serverSchemaVersion(db);
    if (version == SchemaVersion)
        return InitResult::AlreadyThere;
    if (version > 0 && version < SchemaVersion)
        return upgradeServerRegister(db, error);
    if (version != 0)
        return fail(u"数据库中的登记表版本 (%1) 与本程序 (%2) 不符。"_s.arg(version).arg(SchemaVersion));
    {
        QSqlQuery q(db);
        if (q.exec(u"SELECT count(*) FROM pg_tables WHERE schemaname = current_schema() AND "
                   "tablename IN ('kycust', 'kydata', 'kypro', 'kyprdt')"_s) &&
            q.next() && q.value(0).toInt() > 0)
            return fail(u"数据库中已有同名的数据表，但没有登记表版本；请使用空的数据库。"_s);
    }
    Transaction tx(db);
    if (!tx.isActive())
        return fail(db.lastError().text());
    if (!createSchemaObjects(db, SchemaKind::Main, error))
        return InitResult::Failed;
    QSqlQuery q(db);
    const QString role = QLatin1StringView(OperatorRole);
    QStringList sql;
    // Roles belong to the whole server; a second register on it shares the role.
    if (!q.exec(u"SELECT 1 FROM pg_roles WHERE rolname = '%1'"_s.arg(role)))
        return fail(q.lastError().text());
    if (!q.next())
        sql << u"CREATE ROLE %1 NOLOGIN"_s.arg(role);
    sql << u"GRANT USAGE ON SCHEMA %1 TO %2"_s.arg(u"\"$CURRENT\""_s, role);
    for (const QString &table : RegisterTables)
        sql << operatorGrantSql(table, role)
            << u"GRANT USAGE ON SEQUENCE %1 TO %2"_s.arg(table.toLower() + u"_mkey_seq"_s, role);
    for (const QString &table : KeylessTables)
        sql << operatorGrantSql(table, role);
    sql << u"GRANT SELECT ON orlu_schema_version TO %1"_s.arg(role);
    if (!q.exec(u"SELECT quote_ident(current_schema())"_s) || !q.next())
        return fail(q.lastError().text());
    const QString schema = q.value(0).toString();
    for (QString statement : sql) {
        statement.replace(u"\"$CURRENT\""_s, schema);
        if (!q.exec(statement))
            return fail(statement + u": "_s + q.lastError().text());
    }
    if (!tx.commit())
        return fail(db.lastError().text());
    return InitResult::Created;
}

} // namespace orlu
