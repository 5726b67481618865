#include "tests/support.h"

#include "app/navigation.h"
#include "data/schema.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTableView>
#include <QProcess>
#include <QUrl>

namespace velinor::test {

bool TempDatabase::onServer() { return qEnvironmentVariable("VELINOR_TEST_ENGINE") == QLatin1String("server"); }

QString TempDatabase::serverUri() { return qEnvironmentVariable("VELINOR_TEST_SERVER"); }

QString createServerDatabase(const QString& name)
{
    Database admin(TempDatabase::serverUri());
    admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    admin.exec(QStringLiteral("CREATE DATABASE %1").arg(name));
    QUrl url(TempDatabase::serverUri());
    url.setPath(u'/' + name);
    const QString uri = url.toString();
    Database db(uri);
    createServerSchema(db);
    // The tests read how a value is stored as SQLite names it.
    db.exec(QStringLiteral(
        "CREATE FUNCTION typeof(anyelement) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT "
        "CASE WHEN $1 IS NULL THEN 'null' WHEN pg_typeof($1) IN ('double precision'::regtype, "
        "'real'::regtype, 'numeric'::regtype) THEN 'real' WHEN pg_typeof($1) IN "
        "('bigint'::regtype, 'integer'::regtype, 'smallint'::regtype) THEN 'integer' "
        "ELSE 'text' END $$"));
    db.exec(QStringLiteral(
        "CREATE FUNCTION velinor_concat(acc text, value text, sep text) RETURNS text LANGUAGE sql "
        "IMMUTABLE AS $$ SELECT CASE WHEN value IS NULL THEN acc WHEN acc IS NULL THEN value "
        "ELSE acc || sep || value END $$"));
    db.exec(QStringLiteral("CREATE AGGREGATE group_concat(text, text) (SFUNC = velinor_concat, STYPE = text)"));
    return uri;
}

void dropServerDatabase(const QString& name)
{
    try {
        Database(TempDatabase::serverUri())
            .exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    } catch (const DbError& e) {
        qWarning("%s was not dropped: %s", qPrintable(name), qPrintable(e.text()));
    }
}

TempDatabase::TempDatabase() : m_previous(QDir::currentPath())
{
    if (!m_dir.isValid())
        qFatal("no temporary folder");
    QDir::setCurrent(m_dir.path());
    m_previousLocation = qgetenv("VELINOR_DATABASE");
    if (!onServer()) {
        qunsetenv("VELINOR_DATABASE");
        createDatabaseFile(path(), false);
        m_db = std::make_unique<Database>(path());
        return;
    }
    if (serverUri().isEmpty())
        QSKIP("no database server could be started for this test (VELINOR_TEST_SERVER is unset)");
    static int made = 0;
    m_serverName = QStringLiteral("velinor_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
    m_uri = createServerDatabase(m_serverName);
    qputenv("VELINOR_DATABASE", m_uri.toUtf8());
    m_db = std::make_unique<Database>(m_uri);
}

TempDatabase::~TempDatabase()
{
    m_db.reset();
    if (isServer()) {
        dropServerDatabase(m_serverName);
    }
    if (m_previousLocation.isNull())
        qunsetenv("VELINOR_DATABASE");
    else
        qputenv("VELINOR_DATABASE", m_previousLocation);
    QDir::setCurrent(m_previous);
}

QString TempDatabase::path() const
{
    return isServer() ? m_uri : QDir(m_dir.path()).absoluteFilePath("db1.mdb");
}

int TempDatabase::count(const QString& table)
{
    return scalar(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)).toInt();
}

QStringList TempDatabase::column(const QString& table, const QString& field)
{
    Statement st(*m_db, QStringLiteral("SELECT \"%1\" FROM \"%2\" ORDER BY rowid").arg(field, table));
    QStringList values;
    while (st.step())
        values << st.value(0).toString();
    return values;
}

Messages::Messages()
{
    msg::setTestHook([this](const QString& text, msg::Icon icon) { m_entries.append({text, icon}); });
}

Messages::~Messages() { msg::setTestHook({}); }

QStringList Messages::texts() const
{
    QStringList t;
    for (const Entry& e : m_entries)
        t << e.text;
    return t;
}

QWidget* screen(const QString& name) { return nav::find(name); }

void closeAll()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QStringList pdfPages(const QString& path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

void click(QWidget* screen, const QString& button)
{
    auto* b = control<QAbstractButton>(screen, button);
    QTest::mouseClick(b, Qt::LeftButton);
}

void type(QWidget* screen, const QString& box, const QString& text)
{
    auto* edit = control<QLineEdit>(screen, box);
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
}

void clickRow(QWidget* s, const QString& grid, int row, int column)
{
    auto* view = control<QTableView>(s, grid);
    view->scrollTo(view->model()->index(row, column));
    const QRect r = view->visualRect(view->model()->index(row, column));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
}

void editCell(QWidget* s, int row, int column, const QString& text, const QString& how)
{
    auto* view = control<QTableView>(s, "DataGrid5");
    clickRow(s, "DataGrid5", row, column);
    QString rest = text;
    if (how == "type") {
        QTest::keyClick(view, text.at(0).toLatin1());
        rest = text.mid(1);
    } else if (how == "double") {
        const QRect r = view->visualRect(view->model()->index(row, column));
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, r.center());
    } else {
        QTest::keyClick(view, Qt::Key_F2);
    }
    QLineEdit* editor = nullptr;
    for (QLineEdit* e : view->viewport()->findChildren<QLineEdit*>())
        if (!e->isHidden())
            editor = e;
    QVERIFY2(editor, "no editor opened");
    if (how != "type")
        editor->selectAll();
    QTest::keyClicks(editor, rest);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // Enter commits through a queued call
}

} // namespace velinor::test
