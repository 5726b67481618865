// velinor-bench-grid: how much a bound data source shown in a grid costs
// over reading the same rows with bare sqlite3, on 100,000 articles.
// Prints the time of each, their ratio and the memory the source takes.

#include "data/database.h"
#include "data/datagrid.h"
#include "data/datasource.h"
#include "data/schema.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <sqlite3.h>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <random>

using namespace velinor;

namespace {

constexpr int rowCount = 100000;
constexpr int runs = 3;
const char* const query = "SELECT * FROM Tires ORDER BY Descrizione";

// Articles of a hardware and garden wholesaler, put together from parts.
void fillArticles(const QString& path)
{
    static const char* const items[] = {
        "Viti legno", "Tasselli nylon", "Martello carpentiere", "Cacciavite a taglio",
        "Chiodi acciaio", "Lucchetto ottone", "Guanti da lavoro", "Catena zincata",
        "Cavo unipolare", "Lampadina LED", "Interruttore magnetotermico", "Presa schuko",
        "Nastro isolante", "Multipresa", "Tubo multistrato", "Raccordo a pressare",
        "Rubinetto a sfera", "Miscelatore lavabo", "Idropittura lavabile", "Smalto all'acqua",
        "Impregnante legno", "Pennello piatto", "Rullo antigoccia", "Concime granulare",
        "Sementi prato", "Tubo da giardino", "Forbici da potatura", "Carriola zincata"};
    static const char* const details[] = {
        "testa svasata zincate", "con vite", "manico in fibra", "punta magnetica",
        "testa piana", "due chiavi", "in nitrile", "maglia corta", "FS17 blu", "luce calda",
        "1P+N", "bianca", "PVC nero", "con interruttore", "pretagliato", "diritto",
        "leva rossa", "cromato", "per interni", "bianco lucido", "color noce",
        "setola naturale", "per pareti", "universale NPK", "rustico", "retinato",
        "a battente", "ruota pneumatica"};
    static const char* const sizes[] = {"4x40", "8 mm", "500 g", "6x150", "3x50", "40 mm",
                                        "L", "XL", "1,5 mmq", "E27", "16 A", "19 mm x 25 m",
                                        "16x2", "1/2\"", "2,5 lt", "50 mm", "22 cm", "25 m"};
    static const char* const categories[] = {"Ferramenta", "Elettrico", "Idraulica", "Vernici",
                                             "Giardinaggio"};
    static const char* const units[] = {"pz", "kg", "m", "lt", "conf"};
    static const int vat[] = {4, 10, 22};

    std::mt19937 random(20240305);
    auto pick = [&random](auto& list) {
        return list[std::uniform_int_distribution<size_t>(0, std::size(list) - 1)(random)];
    };
    auto number = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };

    createDatabaseFile(path, false);
    Database db(path);
    Transaction tx(db);
    Statement st(db, QStringLiteral(
        R"(INSERT INTO "Tires" ("Tire Code", "descrizione", "Category", "Pattern", "Iva",
               "Quantity", "Min", "Max", "listino1", "listino2", "listino3", "Price",
               "Size", "misura")
           VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?))"));
    for (int i = 0; i < rowCount; ++i) {
        const QString size = QString::fromUtf8(pick(sizes));
        const double list1 = number(20, 25000) / 100.0;
        const int min = number(0, 50);
        st.bindAll({QStringLiteral("TIR%1%2").arg(number(0, 999999)).arg(QChar(u'A' + number(0, 25))),
                    QStringLiteral("%1 %2 %3")
                        .arg(QString::fromUtf8(pick(items)), QString::fromUtf8(pick(details)), size),
                    QString::fromUtf8(pick(categories)), QString::fromUtf8(pick(units)),
                    pick(vat), double(number(0, 500)), double(min), double(min + number(10, 300)),
                    list1, list1 * 0.95, list1 * 0.88, list1, QString(),
                    number(0, 3) == 0 ? size : QString()});
        st.step();
        st.reset();
    }
    tx.commit();
}

long residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * sysconf(_SC_PAGESIZE) : 0;
}

// What any reader must do: step through every row and fetch every value.
double bareLoop(const QString& path, long& checksum)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr)
        != SQLITE_OK)
        qFatal("cannot open %s", qPrintable(path));
    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, query, -1, &st, nullptr);
    const int columns = sqlite3_column_count(st);
    long sum = 0;
    int rows = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER:
                sum += sqlite3_column_int64(st, c);
                break;
            case SQLITE_FLOAT:
                sum += static_cast<long>(sqlite3_column_double(st, c));
                break;
            case SQLITE_NULL:
                break;
            default:
                sum += sqlite3_column_text(st, c)[0] + sqlite3_column_bytes(st, c);
            }
        }
    }
    sqlite3_finalize(st);
    const double ms = timer.nsecsElapsed() / 1e6;
    sqlite3_close(db);
    if (rows != rowCount)
        qFatal("read %d rows, expected %d", rows, rowCount);
    checksum += sum;
    return ms;
}

// Counts paints of the grid's viewport: the rows are on screen after one.
class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

struct SourceRun {
    double ms = 0;
    double gridMs = 0; // of which showing the grid
    long sourceBytes = 0; // resident growth once the source has read its rows
    long totalBytes = 0;  // and once the grid shows them
};

// Resident memory of what is still in use: freed heap (the sort's buffers,
// the copies left by growing arrays) goes back to the system first, so that
// the figure does not depend on how malloc happened to place things.
long liveBytes()
{
    malloc_trim(0);
    return residentBytes();
}

SourceRun sourceAndGrid(const QString& path)
{
    auto db = std::make_shared<Database>(path);
    SourceRun run;
    const long before = liveBytes();
    QElapsedTimer timer;
    timer.start();
    {
        DataSource source(db);
        source.setSource(QString::fromLatin1(query));
        run.ms = timer.nsecsElapsed() / 1e6; // the memory reading is not timed
        run.sourceBytes = liveBytes() - before;
        timer.start();
        DataGrid grid(&source);
        PaintWatch watch;
        grid.viewport()->installEventFilter(&watch);
        grid.resize(1200, 700);
        grid.show();
        while (!watch.painted)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        run.gridMs = timer.nsecsElapsed() / 1e6;
        run.ms += run.gridMs;
        run.totalBytes = liveBytes() - before;
        if (source.recordCount() != rowCount)
            qFatal("the source holds %d rows, expected %d", source.recordCount(), rowCount);
        if (grid.cellText(1).isEmpty())
            qFatal("the grid shows no description");
    }
    QApplication::processEvents();
    return run;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);

    QTemporaryDir dir;
    if (!dir.isValid())
        qFatal("no temporary folder");
    const QString path = QDir(dir.path()).absoluteFilePath(QStringLiteral("db1.mdb"));
    QElapsedTimer fill;
    fill.start();
    fillArticles(path);
    out << "Built " << rowCount << " Tires rows in " << fill.elapsed() << " ms ("
        << QFile(path).size() / 1024 << " KiB file)\n";
    out << "Query: " << query << "\n\n";

    double bestBare = 1e300, bestSource = 1e300;
    long sourceBytes = 0, totalBytes = 0;
    long checksum = 0;
    for (int r = 1; r <= runs; ++r) {
        const double bare = bareLoop(path, checksum);
        const SourceRun s = sourceAndGrid(path);
        out << QStringLiteral("run %1: (a) bare sqlite3 %2 ms, (b) data source + grid %3 ms "
                              "(grid %7 ms), ratio %4; source %5 KiB, with grid %6 KiB\n")
                   .arg(r)
                   .arg(bare, 0, 'f', 1)
                   .arg(s.ms, 0, 'f', 1)
                   .arg(s.ms / bare, 0, 'f', 2)
                   .arg(s.sourceBytes / 1024)
                   .arg(s.totalBytes / 1024)
                   .arg(s.gridMs, 0, 'f', 1);
        out.flush();
        bestBare = std::min(bestBare, bare);
        bestSource = std::min(bestSource, s.ms);
        // Memory: the largest growth seen, to be on the safe side.
        sourceBytes = std::max(sourceBytes, s.sourceBytes);
        totalBytes = std::max(totalBytes, s.totalBytes);
    }

    out << "\nrows:                          " << rowCount << '\n';
    out << QStringLiteral("(a) bare sqlite3 step loop:    %1 ms (best of %2)\n")
               .arg(bestBare, 0, 'f', 1)
               .arg(runs);
    out << QStringLiteral("(b) DataSource + DataGrid:     %1 ms (best of %2)\n")
               .arg(bestSource, 0, 'f', 1)
               .arg(runs);
    out << QStringLiteral("ratio b/a:                     %1 (target < 3)\n")
               .arg(bestSource / bestBare, 0, 'f', 2);
    out << QStringLiteral("memory of the data source:     %1 KiB, %2 bytes per row (target < 1024)\n")
               .arg(sourceBytes / 1024)
               .arg(double(sourceBytes) / rowCount, 0, 'f', 0);
    out << QStringLiteral("with the grid shown:           %1 KiB, %2 bytes per row\n")
               .arg(totalBytes / 1024)
               .arg(double(totalBytes) / rowCount, 0, 'f', 0);
    out << "(checksum " << checksum << ")\n";
    return 0;
}
