// velinor-bench-documents: the invoice screen on a ten-year database
// (20,000 articles, 5,000 customers, 50,000 documents, 500,000 saved lines).
// Times opening the screen, picking an archived invoice and saving an
// invoice of 1,000 lines, each beside the bare work it stands on: the same
// statements through the engine's own C library (SQLite, or libpq with
// --db URI on a server).

#include "app/navigation.h"
#include "common/messagebox.h"
#include "data/copyowner.h"
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

// The bare work: the screen's own statements through the engine's C
// library, every value of every row read, as any reader must. Values are
// bound as the screen binds them: numbers as numbers, the rest as text.
class Bare {
public:
    virtual ~Bare() = default;
    virtual long run(const QString& sql, const QVariantList& params = {}) = 0;
};

class BareSqlite final : public Bare {
public:
    explicit BareSqlite(const QString& path)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    }
    ~BareSqlite() override { sqlite3_close(m_db); }
    long run(const QString& sql, const QVariantList& params = {}) override
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            qFatal("bare: %s", sqlite3_errmsg(m_db));
        for (int i = 0; i < params.size(); ++i) {
            const QVariant& v = params.at(i);
            if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
                sqlite3_bind_int64(st, i + 1, v.toLongLong());
            else if (v.typeId() == QMetaType::Double)
                sqlite3_bind_double(st, i + 1, v.toDouble());
            else
                sqlite3_bind_text(st, i + 1, v.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
        }
        long sum = 0;
        const int columns = sqlite3_column_count(st);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            for (int c = 0; c < columns; ++c)
                sum += sqlite3_column_type(st, c) == SQLITE_TEXT ? sqlite3_column_bytes(st, c)
                                                                  : sqlite3_column_int64(st, c);
        if (rc != SQLITE_DONE)
            qFatal("bare: %s", sqlite3_errmsg(m_db));
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
    long run(const QString& sql, const QVariantList& params = {}) override
    {
        std::vector<QByteArray> texts;
        std::vector<const char*> values;
        for (const QVariant& v : params)
            texts.push_back(v.toString().toUtf8());
        for (const QByteArray& t : texts)
            values.push_back(t.constData());
        PGresult* r = PQexecParams(m_db, sql.toUtf8().constData(), int(values.size()), nullptr,
                                   values.data(), nullptr, nullptr, 0);
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

// The statements the invoice screen runs for each operation, as each engine
// receives them (a server's translated as its engine translates them: names
// in lower case, ? as $n, empty values sorting first).
struct Work {
    bool server;
    QString owner; // this copy's, as the screen filters its working rows
    QString copyLines; // the working lines copied field by field into the saved ones

    QString sql(const char* file, const char* onServer) const
    {
        return QString::fromUtf8(server ? onServer : file);
    }

    void open(Bare& bare) const
    {
        bare.run(sql("SELECT rowid AS velinor_rowid, * FROM Customers ORDER BY Cliente",
                     "SELECT rowid AS velinor_rowid, * FROM Customers ORDER BY Cliente NULLS FIRST"));
        bare.run(sql("SELECT rowid AS velinor_rowid, * from tires ORDER BY Descrizione",
                     "SELECT rowid AS velinor_rowid, * from tires ORDER BY Descrizione NULLS FIRST"));
        bare.run(sql("SELECT rowid AS velinor_rowid, * from Fatture WHERE [Order Code] > 0 "
                     "ORDER BY [Order Code]",
                     "SELECT rowid AS velinor_rowid, * from Fatture WHERE \"order code\" > 0 "
                     "ORDER BY \"order code\" NULLS FIRST"));
        bare.run(sql("SELECT rowid AS velinor_rowid, * FROM Odummy WHERE \"Owner\" = ?",
                     "SELECT rowid AS velinor_rowid, * from Odummy WHERE \"owner\" = $1 "
                     "ORDER BY velinor_rowid"),
                 {owner});
        bare.run(sql("SELECT \"Descrizione\" FROM \"Pagamenti\" ORDER BY \"Descrizione\"",
                     "SELECT \"descrizione\" FROM \"pagamenti\" ORDER BY \"descrizione\" NULLS FIRST"));
    }

    // The print selection, then the document's lines and e-invoice state shown.
    void select(Bare& bare, qint64 number) const
    {
        bare.run(sql("UPDATE Ydummy SET \"Order Code\" = ?, \"cliente\" = ?, \"numerorighe\" = ? "
                     "WHERE rowid = (SELECT min(rowid) FROM Ydummy WHERE \"Owner\" = ?)",
                     "UPDATE Ydummy SET \"order code\" = $1, \"cliente\" = $2, \"numerorighe\" = $3 "
                     "WHERE rowid = (SELECT min(rowid) FROM Ydummy WHERE \"owner\" = $4)"),
                 {number, QStringLiteral("Cliente di prova"), QStringLiteral("40000"), owner});
    }
    void show(Bare& bare, qint64 number) const
    {
        bare.run(sql("SELECT rowid AS velinor_rowid, * FROM DettaglioFatture WHERE [Numero Fattura] = ?",
                     "SELECT rowid AS velinor_rowid, * FROM DettaglioFatture WHERE \"numero fattura\" "
                     "= $1 ORDER BY velinor_rowid"),
                 {number});
        bare.run(sql("SELECT \"Numero Fattura\", \"Progressivo\", \"NomeFile\", \"Data\", \"Stato\", "
                     "\"Messaggio\" FROM \"InviiPA\" WHERE \"Numero Fattura\" = ?1 AND (?2 = 0 OR "
                     "\"Stato\" NOT IN (?3, ?4)) ORDER BY rowid DESC LIMIT 1",
                     "SELECT \"numero fattura\", \"progressivo\", \"nomefile\", \"data\", \"stato\", "
                     "\"messaggio\" FROM \"inviipa\" WHERE \"numero fattura\" = $1 AND ($2 = 0 OR "
                     "\"stato\" NOT IN ($3, $4)) ORDER BY rowid DESC NULLS LAST LIMIT 1"),
                 {number, 0, QStringLiteral("Scartato"), QStringLiteral("Non scritto")});
    }

    void pick(Bare& bare, qint64 number) const
    {
        select(bare, number);
        show(bare, number);
    }

    // 1,000 working lines, as typed.
    void fill(Bare& bare) const
    {
        bare.run(sql("DELETE FROM Odummy WHERE \"Owner\" = ?", "DELETE FROM Odummy WHERE \"owner\" = $1"),
                 {owner});
        bare.run(sql("INSERT INTO Odummy (\"Descrizione Articolo\", \"Quantità\", \"Prezzo\", "
                     "\"Imponibile\", \"Iva\", \"Totale Riga\", \"Owner\") WITH RECURSIVE n(i) AS "
                     "(SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                     "SELECT 'Articolo', 3, 12.5, 37.5, 20, 45, ? FROM n",
                     "INSERT INTO odummy (\"descrizione articolo\", \"quantità\", \"prezzo\", "
                     "\"imponibile\", \"iva\", \"totale riga\", \"owner\") "
                     "SELECT 'Articolo', 3, 12.5, 37.5, 20, 45, $1 FROM generate_series(1, 1000)"),
                 {owner});
    }

    // The checks, the lines copied and emptied, the header written, the
    // print selection: one transaction; then the saved document shown.
    void save(Bare& bare, qint64 number) const
    {
        bare.run(QStringLiteral("BEGIN"));
        bare.run(sql("SELECT 1 FROM \"Fatture\" WHERE \"Order Code\" = ? LIMIT 1",
                     "SELECT 1 FROM \"fatture\" WHERE \"order code\" = $1 LIMIT 1"),
                 {number});
        bare.run(sql("SELECT 1 FROM \"Customers\" WHERE \"Customer Code\" = ? LIMIT 1",
                     "SELECT 1 FROM \"customers\" WHERE \"customer code\" = $1 LIMIT 1"),
                 {QStringLiteral("CUS0B")});
        bare.run(copyLines, {number, owner});
        bare.run(sql("DELETE FROM Odummy WHERE \"Owner\" = ?", "DELETE FROM Odummy WHERE \"owner\" = $1"),
                 {owner});
        bare.run(sql("INSERT INTO \"Fatture\" (\"Order Code\", \"Date\", \"Cliente\", \"Codice Cliente\", "
                     "\"Totale Imponibile\", \"Totale Fattura\", \"Totale Imposta\") VALUES "
                     "(?, ?, ?, ?, ?, ?, ?) RETURNING rowid, *",
                     "INSERT INTO \"fatture\" (\"order code\", \"date\", \"cliente\", \"codice cliente\", "
                     "\"totale imponibile\", \"totale fattura\", \"totale imposta\") VALUES "
                     "($1, $2, $3, $4, $5, $6, $7) RETURNING rowid, *"),
                 {number, QStringLiteral("2026-12-09"), QStringLiteral("Cliente di prova"),
                  QStringLiteral("CUS0B"), 37500.0, 45000.0, 7500.0});
        select(bare, number);
        bare.run(QStringLiteral("COMMIT"));
        show(bare, number);
    }
};

// The copy by field name that saving a document runs, with the document's
// number given in it.
QString copyStatement(Database& db)
{
    const QStringList saved = db.engine().fields(QStringLiteral("DettaglioFatture"));
    QStringList targets, values;
    for (const QString& name : db.engine().fields(QStringLiteral("Odummy"))) {
        if (!saved.contains(name, Qt::CaseInsensitive)
            || name.compare(QLatin1String("Owner"), Qt::CaseInsensitive) == 0)
            continue;
        const QString quoted = u'"' + (db.isServer() ? name.toLower() : name) + u'"';
        targets << quoted;
        values << (name.compare(QLatin1String("Numero Fattura"), Qt::CaseInsensitive) == 0
                       ? QStringLiteral("COALESCE(%1, %2)")
                             .arg(db.isServer() ? QStringLiteral("$1") : QStringLiteral("?"), quoted)
                       : quoted);
    }
    return QStringLiteral("INSERT INTO DettaglioFatture (%1) SELECT %2 FROM Odummy WHERE %3")
        .arg(targets.join(QStringLiteral(", ")), values.join(QStringLiteral(", ")),
             db.isServer() ? QStringLiteral("\"owner\" = $2") : QStringLiteral("\"Owner\" = ?"));
}

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
    double unpainted = 1e300; // until the screen has done its work, before it paints
    void add(double m, double b, double u)
    {
        ms = std::min(ms, m);
        bare = std::min(bare, b);
        unpainted = std::min(unpainted, u);
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
        bareEngine->run(QStringLiteral("ANALYZE"));
    } else {
        bareEngine = std::make_unique<BareSqlite>(path);
    }
    Bare& bare = *bareEngine;
    Work work{server, copyowner::text(), {}};
    {
        Database db(path);
        work.copyLines = copyStatement(db);
        // This copy's print selection, as after its first pick.
        db.exec(QStringLiteral(R"(INSERT INTO Ydummy ("Order Code", "Owner") VALUES (0, ?))"),
                {work.owner});
    }
    for (int r = 1; r <= runs; ++r) {
        timer.start();
        work.open(bare);
        const double openBare = msSince(timer);
        timer.start();
        QWidget* s = nav::show(QStringLiteral("frmFatture"));
        const double openWork = msSince(timer);
        settle();
        const double openMs = msSince(timer);
        open.add(openMs, openBare, openWork);

        // Pick: an invoice from the middle of the archive, its lines shown,
        // and the print selection written and committed.
        const int row = invoiceCount / 2 + r;
        timer.start();
        work.pick(bare, row + 1);
        const double pickBare = msSince(timer);
        auto* archive = s->findChild<QTableView*>(QStringLiteral("DataGrid4"));
        // The user scrolls to the invoice first; the pick is the click.
        archive->scrollTo(archive->model()->index(row, 0));
        settle();
        timer.start();
        clickRow(archive, row);
        const double pickWork = msSince(timer);
        settle();
        const double pickMs = msSince(timer);
        pick.add(pickMs, pickBare, pickWork);
        if (s->findChild<QTableView*>(QStringLiteral("DataGrid5"))->model()->rowCount()
            != linesPerDocument)
            qFatal("the picked invoice shows no lines");

        // Save: an invoice of 1,000 lines.
        work.fill(bare);
        timer.start();
        work.save(bare, -r);
        const double saveBare = msSince(timer);
        QTest::mouseClick(s->findChild<QPushButton*>(QStringLiteral("cmdAdd")), Qt::LeftButton);
        clickRow(s->findChild<QTableView*>(QStringLiteral("DataGrid1")), 0);
        enterLines(s);
        settle();
        const int before = Database(path).scalar(QStringLiteral("SELECT count(*) FROM DettaglioFatture")).toInt();
        timer.start();
        QTest::mouseClick(s->findChild<QPushButton*>(QStringLiteral("cmdSave")), Qt::LeftButton);
        const double saveWork = msSince(timer);
        settle();
        const double saveMs = msSince(timer);
        save.add(saveMs, saveBare, saveWork);
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
    // The screen's own work, up to where Qt paints what changed.
    for (const auto& [name, f] : {std::pair{"open", &open}, {"pick", &pick}, {"save", &save}})
        out << QStringLiteral("%1 before painting ms: %2 ratio: %3\n")
                   .arg(QLatin1String(name))
                   .arg(f->unpainted, 0, 'f', 1)
                   .arg(f->unpainted / f->bare, 0, 'f', 2);
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
