// The working tables of the document screens: each copy's own lines and
// print selection. Two copies of the program on one file run each in a
// process of its own, driven through the real invoice screen: this test
// program starts itself again with --copy DIR and sends each copy what a
// user would do, one line at a time on its standard input.

#include "app/navigation.h"
#include "data/copyowner.h"
#include "data/schemaupgrade.h"
#include "reports/dataenvironment.h"
#include "reports/reportwindow.h"
#include "tests/support.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>
#include <QTextStream>

using namespace velinor;
using namespace velinor::test;

namespace {

// The values of one field of a report's rows, joined.
QString column(const reports::ReportRows& rows, const QString& field)
{
    QStringList values;
    const int f = rows.fieldIndex(field);
    for (const QVariantList& row : rows.values)
        values << (f < 0 ? QStringLiteral("?") : row.value(f).toString());
    return values.join(u',');
}

// One copy: reads commands, answers each with "ok", what it saw, and the
// messages it showed.
int runCopy(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QDir::setCurrent(QString::fromLocal8Bit(argv[2]));
    Messages messages;
    QTextStream in(stdin);
    QTextStream out(stdout);
    QWidget* s = nullptr;
    QString line;
    while (in.readLineInto(&line)) {
        const QStringList w = line.split(u' ');
        const auto arg = [&w](int i) { return w.value(i); };
        messages.clear();
        QString seen;
        if (w[0] == "open") {
            s = nav::show(arg(1));
        } else if (w[0] == "owner") {
            seen = copyowner::text();
        } else if (w[0] == "new") {
            click(s, "cmdAdd");
        } else if (w[0] == "number") {
            type(s, "txtCode", arg(1));
        } else if (w[0] == "customer") {
            clickRow(s, "DataGrid1", arg(1).toInt());
        } else if (w[0] == "line") { // line ROW ARTICLE QUANTITY
            const int row = arg(1).toInt();
            if (row > 0)
                click(s, "cmdriga");
            clickRow(s, "DataGrid2", arg(2).toInt());
            editCell(s, row, 2, arg(3));
        } else if (w[0] == "save") {
            click(s, "cmdSave");
        } else if (w[0] == "pick") {
            clickRow(s, "DataGrid4", arg(1).toInt());
        } else if (w[0] == "print") {
            click(s, "cmdSlip");
            const auto* env = reports::DataEnvironment::instance(reports::DocumentKind::Invoice);
            if (env)
                seen = column(env->command1().rows, "Fatture.Order Code") + u'/'
                       + column(env->command1().children, QString::fromUtf8("Quantità"));
        } else if (w[0] == "lines") {
            auto* model = control<QTableView>(s, "DataGrid5")->model();
            QStringList q;
            for (int r = 0; r < model->rowCount(); ++r)
                q << model->data(model->index(r, 2)).toString();
            seen = q.join(u',') + QStringLiteral(" columns %1").arg(model->columnCount());
        }
        QCoreApplication::processEvents();
        out << "ok " << seen << '|' << messages.texts().join(u';') << '\n';
        out.flush();
    }
    return 0;
}

class Copy {
public:
    explicit Copy(const QString& dir)
    {
        m_process.setProgram(QCoreApplication::applicationFilePath());
        m_process.setArguments({QStringLiteral("--copy"), dir});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        m_process.waitForStarted();
    }
    ~Copy()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished();
    }
    // What the copy saw; the messages it showed go to messages().
    QString run(const QString& command)
    {
        m_process.write(command.toUtf8() + '\n');
        while (!m_process.canReadLine())
            if (!m_process.waitForReadyRead(30000))
                return QStringLiteral("no answer to ") + command;
        const QString answer = QString::fromUtf8(m_process.readLine()).trimmed();
        const int bar = answer.lastIndexOf(u'|');
        m_messages = answer.mid(bar + 1);
        return answer.mid(3, bar - 3).trimmed();
    }
    QString messages() const { return m_messages; }
    // As a crash would end it.
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
    QString m_messages;
};

} // namespace

class WorkingTablesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

    QString savedQuantities(int invoice)
    {
        Statement st(m_db->db(), QString::fromUtf8("SELECT \"Quantità\", \"Codice Cliente\" FROM "
                                                   "DettaglioFatture WHERE \"Numero Fattura\" = ? "
                                                   "ORDER BY rowid"));
        st.bind(1, invoice);
        QStringList lines;
        while (st.step())
            lines << st.value(0).toString() + ' ' + st.value(1).toString();
        return lines.join(',');
    }
    int workingLines(const QString& owner)
    {
        return m_db->scalar("SELECT count(*) FROM Odummy WHERE Owner = ?", {owner}).toInt();
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TempDatabase>();
        m_db->exec("INSERT INTO Customers (\"Customer Code\", Cliente, listino) VALUES "
                   "('CUS1A', 'Bottega Rossi', '1'), ('CUS2B', 'Ferramenta Bianchi', '1')");
        m_db->exec("INSERT INTO Tires (\"Tire Code\", descrizione, Pattern, Iva, listino1) VALUES "
                   "('TIR1A', 'Vite', 'pz', 22, 10), ('TIR2B', 'Colla', 'kg', 10, 2), "
                   "('TIR3C', 'Dado', 'pz', 22, 1)");
    }
    void cleanup()
    {
        for (const char* name : {"DataReport8", "DataReport9"})
            if (auto* w = reports::ReportWindow::find(name))
                w->close();
        closeAll();
        m_db.reset();
    }

    // Each copy saves exactly its own lines and prints its own selection;
    // a copy that was killed leaves its lines to the next start at the same
    // desk, and the other copy neither sees nor deletes them.
    void eachCopyKeepsItsOwnWork()
    {
        Copy a(m_db->dir());
        QCOMPARE(a.run("open frmFatture"), QString());
        const QString ownerA = a.run("owner");
        Copy b(m_db->dir());
        b.run("open frmFatture");
        const QString ownerB = b.run("owner");
        QVERIFY2(ownerA.endsWith("#1") && ownerB.endsWith("#2"), qPrintable(ownerA + ' ' + ownerB));

        a.run("new");
        b.run("new");
        b.run("number 2");
        a.run("customer 0");
        b.run("customer 1");
        for (int i = 0; i < 4; ++i) {
            a.run(QString("line %1 %2 %3").arg(i).arg(i % 3).arg(i + 1));
            b.run(QString("line %1 %2 %3").arg(i).arg((i + 1) % 3).arg(i + 10));
        }
        QCOMPARE(a.run("lines"), QString("1,2,3,4 columns 20"));
        a.run("save");
        QCOMPARE(a.messages(), QString());
        b.run("save");
        QCOMPARE(b.messages(), QString());

        QCOMPARE(savedQuantities(1), QString("1 CUS1A,2 CUS1A,3 CUS1A,4 CUS1A"));
        QCOMPARE(savedQuantities(2), QString("10 CUS2B,11 CUS2B,12 CUS2B,13 CUS2B"));
        QCOMPARE(m_db->count("Odummy"), 0);

        // Each prints the invoice it has just saved.
        QCOMPARE(a.run("print"), QString("1/1,2,3,4"));
        QCOMPARE(b.run("print"), QString("2/10,11,12,13"));
        QCOMPARE(a.run("print"), QString("1/1,2,3,4"));

        // A crash in the middle of the next invoice.
        a.run("new");
        a.run("customer 0");
        a.run("line 0 0 7");
        a.run("line 1 1 8");
        QCOMPARE(workingLines(ownerA), 1); // the line still being typed is not written
        a.kill();

        b.run("new");
        QCOMPARE(b.run("lines"), QString("columns 20"));
        QCOMPARE(workingLines(ownerA), 1);

        Copy again(m_db->dir());
        again.run("open frmFatture");
        QCOMPARE(again.run("owner"), ownerA);
        QCOMPARE(again.run("lines"), QString("7 columns 16"));
        QCOMPARE(again.run("print"), QString("1/1,2,3,4"));
        again.run("new");
        QCOMPARE(workingLines(ownerA), 0);
    }

    // "Stampa" right after "Salva" prints the document just saved, not the
    // one picked before.
    void printsTheDocumentJustSaved_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::newRow("orders") << "frmordini";
        QTest::newRow("invoices") << "frmFatture";
    }
    void printsTheDocumentJustSaved()
    {
        QFETCH(QString, screen);
        const bool invoice = screen == "frmFatture";
        m_db->exec("INSERT INTO Fatture (\"Numero Ordine\", \"Order Code\", Cliente) VALUES (?, ?, "
                   "'Bottega Rossi')",
                   {invoice ? "" : "ORD1A", invoice ? 1 : 0});
        Messages messages;
        QWidget* s = nav::show(screen);
        clickRow(s, "DataGrid4", 0);
        click(s, "cmdAdd");
        clickRow(s, "DataGrid1", 0);
        clickRow(s, "DataGrid2", 2);
        editCell(s, 0, 2, "6");
        click(s, "cmdSave");
        const QString number = control<QLineEdit>(s, "txtCode")->text();
        QVERIFY(number != "ORD1A" && number != "1");
        click(s, "cmdSlip");
        QCOMPARE(messages.texts(), QStringList());
        const auto kind = invoice ? reports::DocumentKind::Invoice : reports::DocumentKind::Order;
        const auto& printed = reports::DataEnvironment::instance(kind)->command1();
        QCOMPARE(column(printed.rows, invoice ? "Fatture.Order Code" : "Fatture.Numero Ordine"), number);
        QCOMPARE(column(printed.children, QString::fromUtf8("Quantità")), QString("6"));
        QCOMPARE(control<QTableView>(s, "DataGrid5")->model()->rowCount(), 1); // its lines shown
    }

    // A file made before copies had their own working rows opens and works
    // as it did, on shared tables; an upgrade gives it the owner fields.
    void fileWithoutOwnerField()
    {
        m_db->exec("DROP INDEX Odummy_Owner");
        m_db->exec("ALTER TABLE Odummy DROP COLUMN Owner");
        m_db->exec("ALTER TABLE Ydummy DROP COLUMN Owner");
        m_db->exec("INSERT INTO Odummy (\"Descrizione Articolo\") VALUES ('left over')");
        Messages messages;
        QWidget* s = nav::show("frmFatture");
        click(s, "cmdAdd");
        QCOMPARE(m_db->count("Odummy"), 0);
        clickRow(s, "DataGrid1", 0);
        clickRow(s, "DataGrid2", 0);
        editCell(s, 0, 2, "5");
        click(s, "cmdSave");
        QCOMPARE(savedQuantities(1), QString("5 CUS1A"));
        clickRow(s, "DataGrid4", 0);
        click(s, "cmdSlip");
        QCOMPARE(messages.texts(), QStringList());
        QCOMPARE(m_db->column("Ydummy", "Order Code"), QStringList{"1"});
        closeAll();

        QVERIFY(upgradeSchema(m_db->db()).contains("field Odummy.Owner"));
        QVERIFY(copyowner::hasField(m_db->db(), "Ydummy"));
    }
};

int main(int argc, char* argv[])
{
    if (argc > 2 && QByteArray(argv[1]) == "--copy")
        return runCopy(argc, argv);
    QApplication app(argc, argv);
    WorkingTablesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_workingtables.moc"
