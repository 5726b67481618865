#include "data/postgres/pgsql.h"

#include <QRegularExpression>

namespace velinor::pg {

namespace {

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

QString quotedLower(const QString& name)
{
    QString q = name.toLower();
    q.replace(u'"', QLatin1String("\"\""));
    return u'"' + q + u'"';
}

// The declared types of the schema, as the server names them. Text sorts
// and compares byte by byte, as in the file.
QString serverType(const QString& word)
{
    const QString t = word.toUpper();
    if (t == QLatin1String("REAL") || t == QLatin1String("DOUBLE") || t == QLatin1String("FLOAT"))
        return QStringLiteral("double precision");
    if (t == QLatin1String("INTEGER") || t == QLatin1String("INT"))
        return QStringLiteral("bigint");
    if (t == QLatin1String("TEXT"))
        return QStringLiteral("text COLLATE \"C\"");
    return {};
}

int skipSpace(const QString& s, int i)
{
    while (i < s.size() && s.at(i).isSpace())
        ++i;
    return i;
}

bool wordAt(const QString& s, int i, QLatin1String word)
{
    return s.mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0
        && (i + word.size() >= s.size() || !isWordChar(s.at(i + word.size())));
}

} // namespace

QString nullsFirst(const QString& sql);

QString translate(const QString& sql)
{
    static const QRegularExpression ddl(QStringLiteral(R"(^\s*(CREATE\s+TABLE|ALTER\s+TABLE)\b)"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression createTable(QStringLiteral(R"(^\s*CREATE\s+TABLE\b)"),
                                                QRegularExpression::CaseInsensitiveOption);
    const bool typed = ddl.match(sql).hasMatch();
    QString out;
    out.reserve(sql.size() + 16);
    int param = 0;
    const int n = static_cast<int>(sql.size());
    for (int i = 0; i < n;) {
        const QChar c = sql.at(i);
        if (c == u'\'') { // a text literal, copied whole
            int j = i + 1;
            while (j < n) {
                if (sql.at(j) == u'\'') {
                    if (j + 1 < n && sql.at(j + 1) == u'\'') {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += sql.mid(i, j + 1 - i);
            i = j + 1;
        } else if (c == u'"' || c == u'[') {
            const QChar close = c == u'"' ? u'"' : u']';
            QString name;
            int j = i + 1;
            while (j < n) {
                if (sql.at(j) == close) {
                    if (close == u'"' && j + 1 < n && sql.at(j + 1) == u'"') {
                        name += u'"';
                        j += 2;
                        continue;
                    }
                    break;
                }
                name += sql.at(j++);
            }
            out += name.isEmpty() && c == u'"' ? QStringLiteral("''") : quotedLower(name);
            i = j + 1;
        } else if (c == u'?') {
            int j = i + 1;
            while (j < n && sql.at(j).isDigit())
                ++j;
            out += u'$' + (j > i + 1 ? sql.mid(i + 1, j - i - 1) : QString::number(++param));
            i = j;
        } else if (isWordChar(c) && (i == 0 || !isWordChar(sql.at(i - 1)))) {
            int j = i;
            while (j < n && isWordChar(sql.at(j)))
                ++j;
            const QString word = sql.mid(i, j - i);
            if (word.compare(QLatin1String("IS"), Qt::CaseInsensitive) == 0) {
                const int k = skipSpace(sql, j);
                if (k < n && sql.at(k) == u'?') {
                    out += QStringLiteral("IS NOT DISTINCT FROM ");
                    i = k;
                    continue;
                }
                if (wordAt(sql, k, QLatin1String("NOT"))) {
                    const int m = skipSpace(sql, k + 3);
                    if (m < n && sql.at(m) == u'?') {
                        out += QStringLiteral("IS DISTINCT FROM ");
                        i = m;
                        continue;
                    }
                }
            }
            const QString type = typed ? serverType(word) : QString();
            out += type.isEmpty() ? word : type;
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    static const QRegularExpression createIndex(QStringLiteral(R"(^\s*CREATE\s+(UNIQUE\s+)?INDEX\b[^(]*\(([^)]*)\))"),
                                                QRegularExpression::CaseInsensitiveOption);
    if (const auto m = createIndex.match(out); m.hasMatch() && !m.captured(2).startsWith(u'(')) {
        // Indexes in the order the queries read them, empty fields first.
        QStringList columns = m.captured(2).split(u',');
        for (QString& c : columns)
            c = c.trimmed() + QStringLiteral(" NULLS FIRST");
        out.replace(m.capturedStart(2), m.capturedLength(2), columns.join(QStringLiteral(", ")));
        return out;
    }
    if (createTable.match(out).hasMatch()) {
        const int close = static_cast<int>(out.lastIndexOf(u')'));
        if (close > 0)
            out.insert(close, QStringLiteral(
                                  ", rowid bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"));
        return out;
    }
    return nullsFirst(out);
}

namespace {

// The end of the clause that starts at i: a closing parenthesis of an outer
// level, LIMIT or OFFSET at this level, or the end of the statement.
int clauseEnd(const QString& s, int i, QList<int>& commas)
{
    int depth = 0;
    for (; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == u'\'' || c == u'"') { // a literal or a name: skipped whole
            const QChar q = c;
            for (++i; i < s.size() && s.at(i) != q; ++i) {
            }
            continue;
        }
        if (c == u'(')
            ++depth;
        else if (c == u')' && depth-- == 0)
            return i;
        else if (c == u',' && depth == 0)
            commas << i;
        else if (depth == 0 && (i == 0 || !isWordChar(s.at(i - 1)))
                 && (wordAt(s, i, QLatin1String("LIMIT")) || wordAt(s, i, QLatin1String("OFFSET"))))
            return i;
    }
    return i;
}

} // namespace

// In the file an empty field (NULL) sorts before every value; the server
// puts it last unless told.
QString nullsFirst(const QString& sql)
{
    static const QRegularExpression orderBy(QStringLiteral(R"(\bORDER\s+BY\b)"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression direction(QStringLiteral(R"(\s(ASC|DESC)\s*$)"),
                                              QRegularExpression::CaseInsensitiveOption);
    QString out = sql;
    qsizetype from = 0;
    while (true) {
        const auto m = orderBy.match(out, from);
        if (!m.hasMatch())
            return out;
        QList<int> commas;
        const int end = clauseEnd(out, static_cast<int>(m.capturedEnd()), commas);
        commas << end;
        int start = static_cast<int>(m.capturedEnd());
        QString clause;
        for (int comma : commas) {
            QString item = out.mid(start, comma - start);
            const QString trimmed = item.trimmed();
            // A row id is never empty, and its index serves the order as it is.
            if (!trimmed.isEmpty() && !trimmed.contains(QLatin1String("NULLS"), Qt::CaseInsensitive)
                && !trimmed.endsWith(QLatin1String("rowid"), Qt::CaseInsensitive)) {
                const auto d = direction.match(trimmed);
                const bool desc = d.hasMatch() && d.captured(1).compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0;
                const qsizetype tail = item.size() - (item.indexOf(trimmed) + trimmed.size());
                item = item.left(item.size() - tail) + (desc ? QStringLiteral(" NULLS LAST")
                                                             : QStringLiteral(" NULLS FIRST"))
                     + item.right(tail);
            }
            clause += item;
            if (comma != end)
                clause += u',';
            start = comma + 1;
        }
        out = out.left(m.capturedEnd()) + clause + out.mid(end);
        from = m.capturedEnd() + clause.size();
    }
}

StarCopy starCopy(const QString& translated)
{
    static const QRegularExpression re(
        QStringLiteral(R"re(^\s*INSERT\s+INTO\s+("(?:[^"]|"")+"|\w+)\s+SELECT\s+\*\s+FROM\s+("(?:[^"]|"")+"|\w+)(.*)$)re"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption
            | QRegularExpression::UseUnicodePropertiesOption);
    const auto m = re.match(translated);
    if (!m.hasMatch())
        return {};
    auto bare = [](QString name) {
        if (name.startsWith(u'"'))
            return name.mid(1, name.size() - 2).replace(QLatin1String("\"\""), QLatin1String("\""));
        return name.toLower();
    };
    return {bare(m.captured(1)), bare(m.captured(2)), m.captured(3)};
}

} // namespace velinor::pg
