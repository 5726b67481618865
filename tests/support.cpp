#include "tests/support.h"

#include "app/navigation.h"
#include "data/schema.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTableView>
#include <QProcess>

namespace velinor::test {

TempDatabase::TempDatabase() : m_previous(QDir::currentPath())
{
    if (!m_dir.isValid())
        qFatal("no temporary folder");
    QDir::setCurrent(m_dir.path());
    createDatabaseFile(path(), false);
    m_db = std::make_unique<Database>(path());
}

TempDatabase::~TempDatabase()
{
    m_db.reset();
    QDir::setCurrent(m_previous);
}

QString TempDatabase::path() const { return QDir(m_dir.path()).absoluteFilePath("db1.mdb"); }

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
