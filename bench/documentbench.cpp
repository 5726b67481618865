// velinor-bench-documents: the invoice screen on a ten-year database
// (20,000 articles, 5,000 customers, 50,000 documents, 500,000 saved lines).
// Times opening the screen, picking an archived invoice and saving an
// invoice of 1,000 lines, each beside the bare work it stands on: the same
// statements through the engine's own C library (SQLite, or libpq with
// --db URI on a server).

#include "app/navigation.h"
#include "common/messagebox.h"
#include "data/database.h"
#include "data/datasource.h"
#include "data/schema.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <libpq-fe.h>
#include <sqlite3.h>

#include <limits>
#include <random>

using namespace velinor;

namespace {

constexpr int articleCount = 20000;
constexpr int customerCount = 5000;
constexpr int invoiceCount = 40000;
constexpr int orderCount = 10000;
constexpr int linesPerDocument = 10;
constexpr int savedLines = 1000;
constexpr int defaultRuns = 3;

void fill(const QString& location)
{
    std::mt19937 random(20260101);
    auto number = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    if (Database::isServerLocation(location)) {
        Database server(location);
        createServerSchema(server);
    } else {
        createDatabaseFile(location, false);
    }
    Database db(location);
    Transaction tx(db);
    {
        Statement st(db, QStringLiteral(R"(INSERT INTO Tires ("Tire Code", descrizione, Category,
            Pattern, Iva, Quantity, listino1, listino2, listino3) VALUES (?,?,?,?,?,?,?,?,?))"));
        for (int i = 0; i < articleCount; ++i) {
            const double price = number(20, 25000) / 100.0;
            st.bindAll({QStringLiteral("TIR%1A").arg(i), QStringLiteral("Articolo %1 di prova").arg(number(0, 999999)),
                        QStringLiteral("Ferramenta"), QStringLiteral("pz"), 22.0,
                        double(number(0, 500)), price, price * 0.95, price * 0.9});
            st.step();
            st.reset();
        }
    }
    {
        Statement st(db, QStringLiteral(R"(INSERT INTO Customers ("Customer Code", Cliente,
            Indirizzo, "città", listino) VALUES (?,?,?,?,?))"));
        for (int i = 0; i < customerCount; ++i) {
            st.bindAll({QStringLiteral("CUS%1B").arg(i), QStringLiteral("Cliente %1 S.r.l.").arg(number(0, 999999)),
                        QStringLiteral("Via Roma %1").arg(i), QStringLiteral("Milano"),
                        QString::number(number(1, 3))});
            st.step();
            st.reset();
        }
    }
    Statement header(db, QStringLiteral(R"(INSERT INTO Fatture ("Numero Ordine", "Order Code",
        "Date", Cliente, "Codice Cliente", "Totale Imponibile", "Totale Imposta",
        "Totale Fattura") VALUES (?,?,?,?,?,?,?,?))"));
    Statement line(db, QStringLiteral(R"(INSERT INTO DettaglioFatture ("Descrizione Articolo",
        "Quantità", "Prezzo", "Imponibile", "Iva", "Totale Riga", "Data", "Codice Cliente",
        "Numero Fattura", "Codice Articolo", "UM", "Numero Ordine") VALUES (?,?,?,?,?,?,?,?,?,?,?,?))"));
    const QDate start(2016, 1, 1);
    for (int d = 0; d < invoiceCount + orderCount; ++d) {
        const bool invoice = d < invoiceCount;
        const QVariant order = invoice ? QVariant() : QVariant(QStringLiteral("ORD%1C").arg(d));
        const QVariant code = invoice ? QVariant(qlonglong(d + 1)) : QVariant();
        const QString date = start.addDays(d * 3650 / (invoiceCount + orderCount)).toString(Qt::ISODate);
        const int customer = number(0, customerCount - 1);
        for (int l = 0; l < linesPerDocument; ++l) {
            line.bindAll({QStringLiteral("Articolo di prova"), 2.0, 10.0, 20.0, 22.0, 24.4, date,
                          QStringLiteral("CUS%1B").arg(customer), code,
                          QStringLiteral("TIR%1A").arg(number(0, articleCount - 1)),
                          QStringLiteral("pz"), order});
            line.step();
            line.reset();
        }
        header.bindAll({order, code, date, QStringLiteral("Cliente di prova"),
                        QStringLiteral("CUS%1B").arg(customer), 200.0, 44.0, 244.0});
        header.step();
        header.reset();
    }
    tx.commit();
}

// The bare work: statements through the engine's C library, every value
// of every row read, as any reader must.
constexpr qint64 noBound = std::numeric_limits<qint64>::min();

class Bare {
public:
    virtual ~Bare() = default;
    virtual long run(const char* sql, qint64 bound = noBound) = 0;
};

class BareSqlite final : public Bare {
public:
    explicit BareSqlite(const QString& path)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    }
    ~BareSqlite() override { sqlite3_close(m_db); }
    long run(const char* sql, qint64 bound = noBound) override
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr) != SQLITE_OK)
            qFatal("bare: %s", sqlite3_errmsg(m_db));
        if (bound != noBound)
            sqlite3_bind_int64(st, 1, bound);
        long sum = 0;
        const int columns = sqlite3_column_count(st);
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int c = 0; c < columns; ++c)
                sum += sqlite3_column_type(st, c) == SQLITE_TEXT ? sqlite3_column_bytes(st, c)
                                                                  : sqlite3_column_int64(st, c);
        sqlite3_finalize(st);
        return sum;
    }

private:
    sqlite3* m_db = nullptr;
};

class BarePostgres final : public Bare {
public:
    explicit BarePostgres(const QString& uri) : m_db(PQconnectdb(uri.toUtf8().constData()))
    {
        if (PQstatus(m_db) != CONNECTION_OK)
            qFatal("bare: %s", PQerrorMessage(m_db));
    }
    ~BarePostgres() override { PQfinish(m_db); }
    long run(const char* sql, qint64 bound = noBound) override
    {
        const QByteArray value = QByteArray::number(bound);
        const char* values[] = {value.constData()};
        PGresult* r = PQexecParams(m_db, sql, bound != noBound ? 1 : 0, nullptr, values, nullptr,
                                   nullptr, 0);
        if (PQresultStatus(r) != PGRES_TUPLES_OK && PQresultStatus(r) != PGRES_COMMAND_OK)
            qFatal("bare: %s", PQresultErrorMessage(r));
        long sum = 0;
        for (int row = 0; row < PQntuples(r); ++row)
            for (int c = 0; c < PQnfields(r); ++c)
                sum += PQgetlength(r, row, c) + (PQgetisnull(r, row, c) ? 0 : atol(PQgetvalue(r, row, c)));
        PQclear(r);
        return sum;
    }

private:
    PGconn* m_db;
};

// The statements of each operation as each engine spells them.
struct Work {
    const char* open[4];
    const char* pickLines;
    const char* pickSelection;
    const char* fillLines;
    const char* copyLines;
    const char* emptyLines;
    const char* header;
};

// The lines copied field by field, as the screen copies them.
const char* const copyByName =
    "INSERT INTO dettagliofatture (\"id\", \"descrizione articolo\", \"quantità\", \"prezzo\", "
    "\"imponibile\", \"iva\", \"totale riga\", \"misura 1\", \"misura 2\", \"numero pezzi\", "
    "\"data\", \"codice cliente\", \"numero fattura\", \"codice articolo\", \"bolla\", "
    "\"databolla\", \"um\", \"note\", \"numero ordine\") SELECT \"id\", "
    "\"descrizione articolo\", \"quantità\", \"prezzo\", \"imponibile\", \"iva\", "
    "\"totale riga\", \"misura 1\", \"misura 2\", \"numero pezzi\", \"data\", "
    "\"codice cliente\", \"numero fattura\", \"codice articolo\", \"bolla\", \"databolla\", "
    "\"um\", \"note\", \"numero ordine\" FROM odummy";

const Work sqliteWork{
    {"SELECT * FROM Customers ORDER BY Cliente", "select * from tires ORDER BY Descrizione",
     "Select * from Fatture WHERE [Order Code] > 0 ORDER BY [Order Code]", "select * from Odummy"},
    "SELECT * FROM DettaglioFatture WHERE [Numero Fattura] = ?",
    "UPDATE Ydummy SET \"Order Code\" = ?, cliente = 'Cliente di prova', numerorighe = 39999",
    "INSERT INTO Odummy (\"Descrizione Articolo\", \"Numero Fattura\") "
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
    "SELECT 'Articolo', 900000 FROM n",
    copyByName,
    "DELETE FROM Odummy",
    "INSERT INTO Fatture (\"Order Code\", Cliente) VALUES (?, 'Cliente')",
};

const Work serverWork{
    {"SELECT * FROM customers ORDER BY cliente", "select * from tires ORDER BY descrizione",
     "Select * from fatture WHERE \"order code\" > 0 ORDER BY \"order code\"",
     "select * from odummy ORDER BY rowid"},
    "SELECT * FROM dettagliofatture WHERE \"numero fattura\" = $1",
    "UPDATE ydummy SET \"order code\" = $1, cliente = 'Cliente di prova', numerorighe = 39999",
    "INSERT INTO odummy (\"descrizione articolo\", \"numero fattura\") "
    "SELECT 'Articolo', 900000 FROM generate_series(1, 1000)",
    copyByName,
    "DELETE FROM odummy",
    "INSERT INTO fatture (\"order code\", cliente) VALUES ($1, 'Cliente')",
};

double msSince(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

// Lets the screen paint what it shows.
void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

void clickRow(QTableView* view, int row)
{
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

// The working lines of a new invoice, written as the grid would write them.
void enterLines(QWidget* screen)
{
    auto* lines = screen->findChild<DataSource*>(QStringLiteral("Adodc5"));
    Transaction tx(*lines->database());
    for (int i = 0; i < savedLines; ++i) {
        if (i > 0)
            lines->addNew();
        lines->setValue(1, QStringLiteral("Articolo %1").arg(i));
        lines->setValue(2, QStringLiteral("3"));
        lines->setValue(3, QStringLiteral("12.5"));
        lines->setValue(4, QStringLiteral("37.5"));
        lines->setValue(5, QStringLiteral("20"));
        lines->setValue(6, QStringLiteral("45"));
    }
    lines->update();
    tx.commit();
}

struct Figures {
    double ms = 1e300;
    double bare = 1e300;
    void add(double m, double b)
    {
        ms = std::min(ms, m);
        bare = std::min(bare, b);
    }
};

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    msg::setTestHook([](const QString& text, msg::Icon) { qFatal("message: %s", qPrintable(text)); });

    QString uri;
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--db"));
    if (at >= 0 && at + 1 < args.size())
        uri = args.at(at + 1);
    const bool server = !uri.isEmpty();
    // More runs give a profiler something to see; the figures stay best-of.
    const qsizetype runsAt = args.indexOf(QStringLiteral("--runs"));
    const int runs = runsAt >= 0 && runsAt + 1 < args.size() ? std::max(1, args.at(runsAt + 1).toInt())
                                                             : defaultRuns;
    if (server && !Database::isServerLocation(uri))
        qFatal("--db takes a postgresql:// URI naming an empty database");

    QTemporaryDir dir;
    if (!dir.isValid())
        qFatal("no temporary folder");
    QDir::setCurrent(dir.path());
    const QString path = server ? uri : Database::defaultPath();
    qputenv("VELINOR_DATABASE", path.toUtf8());
    QElapsedTimer timer;
    timer.start();
    fill(path);
    out << "Built " << articleCount << " articles, " << customerCount << " customers, "
        << invoiceCount << " invoices, " << orderCount << " orders, "
        << (invoiceCount + orderCount) * linesPerDocument << " lines in " << timer.elapsed()
        << " ms";
    if (server)
        out << " on " << uri << "\n\n";
    else
        out << " (" << QFile(path).size() / (1024 * 1024) << " MiB)\n\n";
    out.flush();

    Figures open, pick, save;
    std::unique_ptr<Bare> bareEngine;
    if (server) {
        bareEngine = std::make_unique<BarePostgres>(uri);
        bareEngine->run("ANALYZE");
    } else {
        bareEngine = std::make_unique<BareSqlite>(path);
    }
    Bare& bare = *bareEngine;
    const Work& work = server ? serverWork : sqliteWork;
    for (int r = 1; r <= runs; ++r) {
        // Open: the four lists, against the four SELECTs stepped to their end.
        timer.start();
        for (const char* q : work.open)
            bare.run(q);
        const double openBare = msSince(timer);
        timer.start();
        QWidget* s = nav::show(QStringLiteral("frmFatture"));
        settle();
        const double openMs = msSince(timer);
        open.add(openMs, openBare);

        // Pick: an invoice from the middle of the archive, its lines shown,
        // and the print selection written and committed.
        const int row = invoiceCount / 2 + r;
        timer.start();
        bare.run(work.pickSelection, row + 1);
        bare.run(work.pickLines, row + 1);
        const double pickBare = msSince(timer);
        auto* archive = s->findChild<QTableView*>(QStringLiteral("DataGrid4"));
        timer.start();
        clickRow(archive, row);
        settle();
        const double pickMs = msSince(timer);
        pick.add(pickMs, pickBare);
        if (s->findChild<QTableView*>(QStringLiteral("DataGrid5"))->model()->rowCount()
            != linesPerDocument)
            qFatal("the picked invoice shows no lines");

        // Save: 1,000 lines copied, the working lines emptied, the header written.
        bare.run(work.emptyLines);
        bare.run(work.fillLines);
        timer.start();
        bare.run("BEGIN");
        bare.run(work.copyLines);
        bare.run(work.emptyLines);
        bare.run(work.header, -r);
        bare.run("COMMIT");
        const double saveBare = msSince(timer);
        QTest::mouseClick(s->findChild<QPushButton*>(QStringLiteral("cmdAdd")), Qt::LeftButton);
        clickRow(s->findChild<QTableView*>(QStringLiteral("DataGrid1")), 0);
        enterLines(s);
        settle();
        const int before = Database(path).scalar(QStringLiteral("SELECT count(*) FROM DettaglioFatture")).toInt();
        timer.start();
        QTest::mouseClick(s->findChild<QPushButton*>(QStringLiteral("cmdSave")), Qt::LeftButton);
        settle();
        const double saveMs = msSince(timer);
        save.add(saveMs, saveBare);
        if (Database(path).scalar(QStringLiteral("SELECT count(*) FROM DettaglioFatture")).toInt()
            != before + savedLines)
            qFatal("the invoice was not saved");

        out << QStringLiteral("run %1: open %2 ms (bare %3), pick %4 ms (bare %5), save %6 ms "
                              "(bare %7)\n")
                   .arg(r)
                   .arg(openMs, 0, 'f', 1)
                   .arg(openBare, 0, 'f', 1)
                   .arg(pickMs, 0, 'f', 1)
                   .arg(pickBare, 0, 'f', 2)
                   .arg(saveMs, 0, 'f', 1)
                   .arg(saveBare, 0, 'f', 1);
        out.flush();
        nav::unload(s);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    out << "\nbest of " << runs << "; ratio = screen / bare " << (server ? "libpq" : "SQLite")
        << "\n";
    auto line = [&out](const char* name, const Figures& f) {
        out << QStringLiteral("%1 ms: %2 ratio: %3\n")
                   .arg(QLatin1String(name))
                   .arg(f.ms, 0, 'f', 1)
                   .arg(f.ms / f.bare, 0, 'f', 2);
    };
    line("open", open);
    line("pick", pick);
    line("save", save);
    return 0;
}
