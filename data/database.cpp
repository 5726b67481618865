#include "data/database.h"

#include "data/postgres/pgengine.h"
#include "data/sqlite/sqliteengine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace velinor {

namespace {

// url= of the [database] section of an INI file; empty when there is none.
QString configuredUrl(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&f);
    bool inSection = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(u'[')) {
            inSection = line.compare(QLatin1String("[database]"), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        const int eq = line.indexOf(u'=');
        if (eq > 0 && line.left(eq).trimmed().compare(QLatin1String("url"), Qt::CaseInsensitive) == 0) {
            QString value = line.mid(eq + 1).trimmed();
            if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
                value = value.mid(1, value.size() - 2);
            return value;
        }
    }
    return {};
}

} // namespace

QString quotedName(const QString& name)
{
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

QString Database::defaultPath() { return QDir::current().absoluteFilePath(QStringLiteral("db1.mdb")); }

QString Database::location()
{
    const QString env = qEnvironmentVariable("VELINOR_DATABASE").trimmed();
    if (!env.isEmpty())
        return env;
    const QString url = configuredUrl(QDir::current().absoluteFilePath(QStringLiteral("velinor.conf")));
    if (!url.isEmpty())
        return url;
    return defaultPath();
}

bool Database::isServerLocation(const QString& location)
{
    return location.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || location.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

Database::Database(const QString& location)
    : m_location(isServerLocation(location) ? location : QFileInfo(location).absoluteFilePath())
{
    m_engine = isServerLocation(location) ? openPostgres(m_location) : openSqlite(m_location);
}

Database::~Database() = default;

std::shared_ptr<Database> Database::shared()
{
    static std::weak_ptr<Database> current;
    static std::shared_ptr<Database> session;
    auto db = current.lock();
    const QString wanted = location();
    if (!db
        || db->path() != (isServerLocation(wanted) ? wanted : QFileInfo(wanted).absoluteFilePath())
        || (db->m_engine->isBroken() && !db->inTransaction())) {
        db = std::make_shared<Database>(wanted);
        current = db;
        session = db->isServer() ? db : nullptr;
    } else if (db == session && db.use_count() == 2) {
        db->forgetDefinitions(); // the first screen since all were closed
    }
    return db;
}

void Database::exec(const QString& sql, const QVariantList& params)
{
    Statement st(*this, sql);
    st.bindAll(params);
    while (st.step()) {
    }
}

QVariant Database::scalar(const QString& sql, const QVariantList& params)
{
    Statement st(*this, sql);
    st.bindAll(params);
    return st.step() ? st.value(0) : QVariant();
}

void Database::commit()
{
    m_engine->commit(m_depth - 1);
    --m_depth;
}

void Database::rollback() noexcept
{
    if (m_depth == 0)
        return;
    m_engine->rollback(--m_depth);
}

// ---------------------------------------------------------------- Statement

Statement::Statement(Database& db, const QString& sql) : m_cursor(db.engine().prepare(sql)) {}

Statement::~Statement() = default;

void Statement::bindAll(const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values.at(i));
}

// -------------------------------------------------------------- Transaction

Transaction::Transaction(Database& db) : m_db(db) { m_db.begin(); }

Transaction::~Transaction()
{
    if (!m_done)
        m_db.rollback();
}

void Transaction::commit()
{
    m_db.commit();
    m_done = true;
}

} // namespace velinor
