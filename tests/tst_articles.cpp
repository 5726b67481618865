// The articles screen, driven through its widgets on a real file.

#include "app/navigation.h"
#include "data/datasource.h"
#include "tests/support.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QToolButton>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velinor;
using namespace velinor::test;

namespace {

// What can be used: N A S C E R (the buttons in order), G (the three
// "Aggiungi"), P (the pick lists), L(ist), T (step controls), $ (prices
// writable); '?' when a group disagrees.
QString usable(QWidget* s)
{
    const QStringList groups{"cmdAdd", "cmdUpdate", "cmdSave", "cmdCancel", "cmdDelete",
                             "cmdReport", "cmdCategory cmdSize cmdPattern",
                             "DataGrid1 DataGrid2 DataGrid3", "DataGrid4",
                             "updQuantity updMin updMax", "txtPrice1 txtprice2 txtprice3"};
    QString state;
    for (int i = 0; i < groups.size(); ++i) {
        const QStringList names = groups[i].split(' ');
        int on = 0;
        for (const QString& name : names) {
            auto* w = control<QWidget>(s, name);
            auto* box = qobject_cast<QLineEdit*>(w);
            on += (box ? !box->isReadOnly() : w->isEnabled()) ? 1 : 0;
        }
        if (on > 0)
            state += on == names.size() ? QChar("NASCERGPLT$"[i]) : QChar('?');
    }
    return state;
}

void step(QWidget* s, const QString& control_, const QString& arrow)
{
    control<QToolButton>(control<QWidget>(s, control_), arrow)->click();
}

void pickFirstRows(QWidget* s)
{
    for (const char* grid : {"DataGrid1", "DataGrid2", "DataGrid3"})
        clickRow(s, grid, 0);
}

QString text(QWidget* s, const QString& box) { return control<QLineEdit>(s, box)->text(); }

// File permissions do not bind root. For as long as it lives this runs the
// test as an ordinary user, owner of the test's folder and file.
class OrdinaryUser {
public:
    OrdinaryUser(const QString& dir, const QString& file)
    {
        if (geteuid() != 0)
            return;
        const passwd* nobody = getpwnam("nobody");
        if (!nobody)
            return;
        for (const QString& path : {dir, file})
            if (chown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid) != 0)
                return;
        m_switched = setegid(nobody->pw_gid) == 0 && seteuid(nobody->pw_uid) == 0;
    }
    ~OrdinaryUser()
    {
        if (m_switched && (seteuid(0) != 0 || setegid(0) != 0))
            qFatal("cannot switch back to root");
    }
    bool ok() const { return m_switched || geteuid() != 0; }

private:
    bool m_switched = false;
};

void setWritable(const QString& file, bool writable)
{
    QVERIFY(chmod(QFile::encodeName(file).constData(), writable ? 0644 : 0444) == 0);
}

} // namespace

class ArticlesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

    void addArticle(const QString& code, const QString& description, QVariant quantity = {},
                    QVariant min = {}, QVariant max = {})
    {
        m_db->exec("INSERT INTO Tires (\"Tire Code\", descrizione, Category, Pattern, Iva, "
                   "Quantity, Min, Max) VALUES (?, ?, 'Vernici', 'lt', 22, ?, ?, ?)",
                   {code, description, quantity, min, max});
    }
    QVariant stored(const QString& code, const QString& field)
    {
        return m_db->scalar(QString("SELECT \"%1\" FROM Tires WHERE \"Tire Code\" = ?").arg(field),
                            {code});
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        m_db = std::make_unique<TempDatabase>();
        m_db->exec("INSERT INTO Categories VALUES ('Ferramenta'), ('Ca'' d''Oro')");
        m_db->exec("INSERT INTO Sizes VALUES ('22'), ('esente')");
        m_db->exec("INSERT INTO Patterns VALUES ('pz'), ('kg')");
    }
    void cleanup()
    {
        closeAll();
        QLocale::setDefault(QLocale::c());
        m_db.reset();
    }

    void firstAndLastArticle()
    {
        Messages messages;
        QWidget* s = nav::show("frmTire");
        QCOMPARE(usable(s), QString("NGL"));
        click(s, "cmdAdd");
        QCOMPARE(usable(s), QString("SCPT$"));
        pickFirstRows(s);
        click(s, "cmdSave");
        QCOMPARE(messages.count(), 0);
        QCOMPARE(usable(s), QString("NAERGL"));
        QCOMPARE(m_db->count("Tires"), 1);
        const QString code = m_db->column("Tires", "Tire Code").value(0);
        QVERIFY2(QRegularExpression("^TIR\\d{1,6}[A-Z]$").match(code).hasMatch(), qPrintable(code));
        QCOMPARE(stored(code, "Iva"), QVariant(22.0));
        QCOMPARE(stored(code, "descrizione"), QVariant());
        click(s, "cmdDelete");
        QCOMPARE(m_db->count("Tires"), 0);
        QCOMPARE(usable(s), QString("NGL"));
    }

    void saveNeedsGroupRateAndUnit_data()
    {
        QTest::addColumn<QStringList>("picked");
        QTest::newRow("none") << QStringList{};
        QTest::newRow("group only") << QStringList{"DataGrid1"};
        QTest::newRow("no unit") << QStringList{"DataGrid1", "DataGrid2"};
        QTest::newRow("no group") << QStringList{"DataGrid2", "DataGrid3"};
    }
    void saveNeedsGroupRateAndUnit()
    {
        QFETCH(QStringList, picked);
        Messages messages;
        QWidget* s = nav::show("frmTire");
        click(s, "cmdAdd");
        type(s, "Text1", "Pennello");
        for (const QString& grid : picked)
            clickRow(s, grid, 0);
        click(s, "cmdSave");
        QCOMPARE(messages.texts(), QStringList{"Invalid data."});
        QCOMPARE(messages.lastIcon(), msg::Icon::Critical);
        QCOMPARE(usable(s), QString("SCPT$"));
        QCOMPARE(text(s, "Text1"), QString("Pennello"));
        QCOMPARE(m_db->count("Tires"), 0);
    }

    void stockReminder_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QVariant>("quantity"); // before one step up
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<QString>("message");
        const QString above = "Reminder: This tire is above its maximum quantity.";
        const QString below = "Reminder: This tire is below its minimum quantity.";
        const QLocale c = QLocale::c(), it(QLocale::Italian, QLocale::Italy);
        QTest::newRow("5/2/0") << c << QVariant(4.0) << 2.0 << 0.0 << above;
        QTest::newRow("5/8/10") << c << QVariant(4.0) << 8.0 << 10.0 << below;
        QTest::newRow("5/8/3: above only") << c << QVariant(4.0) << 8.0 << 3.0 << above;
        QTest::newRow("within limits") << c << QVariant(4.0) << 5.0 << 5.0 << "";
        QTest::newRow("no stock values: 1/0/0") << c << QVariant() << 0.0 << 0.0 << above;
        QTest::newRow("5.5 over 5") << c << QVariant(4.5) << 0.0 << 5.0 << above;
        QTest::newRow("5,5 over 5, Italian") << it << QVariant(4.5) << 0.0 << 5.0 << above;
        QTest::newRow("5,5 under 5,6, Italian") << it << QVariant(4.5) << 5.6 << 9.0 << below;
    }
    void stockReminder()
    {
        QFETCH(QLocale, locale);
        QFETCH(QVariant, quantity);
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(QString, message);
        QLocale::setDefault(locale);
        addArticle("TIR1A", "Idropittura", quantity, min, max);
        Messages messages;
        QWidget* s = nav::show("frmTire");
        click(s, "cmdUpdate");
        step(s, "updQuantity", "up");
        click(s, "cmdSave");
        QCOMPARE(stored("TIR1A", "Quantity").toDouble(), quantity.toDouble() + 1);
        QCOMPARE(usable(s), QString("NAERGL"));
        QCOMPARE(messages.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        if (!message.isEmpty())
            QCOMPARE(messages.lastIcon(), msg::Icon::Exclamation);
    }

    void stepControls_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("start");
        QTest::addColumn<QString>("arrow");
        QTest::addColumn<QString>("shown");
        QTest::newRow("down at 0 stays 0") << "Min" << QVariant(0.0) << "down" << "0";
        QTest::newRow("up on empty gives 1") << "Max" << QVariant() << "up" << "1";
        QTest::newRow("down on empty gives 0") << "Quantity" << QVariant() << "down" << "0";
        QTest::newRow("down from a half") << "Quantity" << QVariant(0.5) << "down" << "0";
    }
    void stepControls()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, start);
        QFETCH(QString, arrow);
        QFETCH(QString, shown);
        auto only = [&](const char* f) { return field == f ? start : QVariant(); };
        addArticle("TIR1A", "Idropittura", only("Quantity"), only("Min"), only("Max"));
        Messages messages; // reminders are not the point here
        QWidget* s = nav::show("frmTire");
        click(s, "cmdUpdate");
        step(s, "upd" + field, arrow);
        QCOMPARE(text(s, "txt" + field), shown);
        click(s, "cmdSave");
        QCOMPARE(stored("TIR1A", field), QVariant(shown.toDouble()));
    }

    void italianPrices_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QVariant>("stored"); // none: refused
        QTest::addColumn<QString>("shown");   // after the save
        QTest::newRow("grouped") << "1.234,56" << QVariant(1234.56) << "1234,56";
        QTest::newRow("grouped whole") << "1.234" << QVariant(1234.0) << "1234";
        QTest::newRow("decimal comma") << "3,5" << QVariant(3.5) << "3,5";
        QTest::newRow("a point is no decimal point") << "1.5" << QVariant() << "1.5";
        QTest::newRow("group of two") << "12.34" << QVariant() << "12.34";
    }
    void italianPrices()
    {
        QFETCH(QString, typed);
        QFETCH(QVariant, stored);
        QFETCH(QString, shown);
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        addArticle("TIR1A", "Idropittura");
        Messages messages;
        QWidget* s = nav::show("frmTire");
        click(s, "cmdUpdate");
        type(s, "txtPrice1", typed);
        click(s, "cmdSave");
        QCOMPARE(this->stored("TIR1A", "listino1"), stored);
        QCOMPARE(text(s, "txtPrice1"), shown);
        if (stored.isValid()) {
            QCOMPARE(messages.count(), 0);
            return;
        }
        QCOMPARE(messages.texts(),
                 QStringList{QString("Saving the article failed: \"Prezzo di Vendita 1\" holds "
                                     "numbers only, and \"%1\" is not a number.")
                                 .arg(typed)});
        QCOMPARE(usable(s), QString("SCPT$"));
    }

    void pickListsFillOnlyWhileEditing()
    {
        addArticle("TIR1A", "Idropittura");
        QWidget* s = nav::show("frmTire");
        clickRow(s, "DataGrid1", 1); // disabled while browsing
        QCOMPARE(text(s, "txtCategory"), QString("Vernici"));
        click(s, "cmdUpdate");
        clickRow(s, "DataGrid2", 0); // already current: fills all the same
        QCOMPARE(text(s, "txtSize"), QString("22"));
        QCOMPARE(s->focusWidget(), control<QWidget>(s, "txtSize"));
        clickRow(s, "DataGrid3", 1);
        QCOMPARE(text(s, "txtPattern"), QString("kg"));
        clickRow(s, "DataGrid1", 1);
        QCOMPARE(text(s, "txtCategory"), QString("Ca' d'Oro"));
        click(s, "cmdSave");
        QCOMPARE(stored("TIR1A", "Category").toString(), QString("Ca' d'Oro"));
        QCOMPARE(stored("TIR1A", "Pattern").toString(), QString("kg"));
    }

    // A keyboard user leaves a list with Tab; the article keeps its values.
    void tabLeavesTheLists_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<bool>("editing");
        QTest::addColumn<Qt::Key>("key");
        for (const char* grid : {"DataGrid1", "DataGrid2", "DataGrid3"}) {
            QTest::addRow("%s, Tab", grid) << grid << true << Qt::Key_Tab;
            QTest::addRow("%s, Shift+Tab", grid) << grid << true << Qt::Key_Backtab;
        }
        QTest::newRow("article list, Tab") << "DataGrid4" << false << Qt::Key_Tab;
    }
    void tabLeavesTheLists()
    {
        QFETCH(QString, grid);
        QFETCH(bool, editing);
        QFETCH(Qt::Key, key);
        addArticle("TIR1A", "Idropittura");
        addArticle("TIR2B", "Smalto");
        QWidget* s = nav::show("frmTire");
        if (editing)
            click(s, "cmdUpdate");
        const QStringList boxes{"txtCode", "txtCategory", "txtSize", "txtPattern"};
        QStringList before;
        for (const QString& b : boxes)
            before << text(s, b);
        auto* view = control<QTableView>(s, grid);
        view->setFocus();
        const int row = view->currentIndex().row();
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(view, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
            QVERIFY(s->focusWidget() != view);
            view->setFocus();
        }
        QCOMPARE(view->currentIndex().row(), row);
        QStringList after;
        for (const QString& b : boxes)
            after << text(s, b);
        QCOMPARE(after, before);
        // The arrow keys still walk the list.
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(view->currentIndex().row(), row + 1);
    }

    void descriptionTypedWhileBrowsing()
    {
        addArticle("TIR1A", "Alfa");
        addArticle("TIR2B", "Beta");
        addArticle("TIR3C", "Gamma");
        QWidget* s = nav::show("frmTire");
        type(s, "Text1", "L'olio d'oliva");
        clickRow(s, "DataGrid4", 1); // another article becomes current: written
        QCOMPARE(stored("TIR1A", "descrizione").toString(), QString("L'olio d'oliva"));
        QCOMPARE(text(s, "txtCode"), QString("TIR2B"));
        type(s, "Text1", "Betulla");
        click(s, "cmdCategory"); // leaves the screen: discarded
        QVERIFY(screen("frmCategory") && !screen("frmTire"));
        QCOMPARE(stored("TIR2B", "descrizione").toString(), QString("Beta"));
        click(screen("frmCategory"), "cmdBack");
        QCOMPARE(text(screen("frmTire"), "Text1"), QString("Beta"));
    }

    void refusedSaveKeepsTheEdit_data()
    {
        QTest::addColumn<bool>("locked"); // otherwise a VAT rate that is no number
        QTest::addColumn<QString>("why");
        QTest::newRow("VAT rate not a number") << false << "\"Aliquota\" holds numbers only, and \"esente\" is not a number.";
        QTest::newRow("file in use") << true << "in use";
    }
    void refusedSaveKeepsTheEdit()
    {
        QFETCH(bool, locked);
        QFETCH(QString, why);
        Messages messages;
        QWidget* s = nav::show("frmTire");
        click(s, "cmdAdd");
        type(s, "txtPrice1", "3.5");
        clickRow(s, "DataGrid1", 0);
        clickRow(s, "DataGrid2", locked ? 0 : 1);
        clickRow(s, "DataGrid3", 0);
        if (locked)
            m_db->exec("BEGIN IMMEDIATE");
        click(s, "cmdSave");
        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.last().startsWith("Saving the article failed: "), qPrintable(messages.last()));
        QVERIFY2(messages.last().contains(why), qPrintable(messages.last()));
        QCOMPARE(usable(s), QString("SCPT$"));
        QCOMPARE(text(s, "txtSize"), QString(locked ? "22" : "esente"));
        QCOMPARE(text(s, "txtPrice1"), QString("3.5"));
        QEvent activate(QEvent::WindowActivate); // as when a real message box closes
        QApplication::sendEvent(s, &activate);
        QCOMPARE(usable(s), QString("SCPT$"));
        if (locked)
            m_db->exec("ROLLBACK");
        else
            clickRow(s, "DataGrid2", 0);
        click(s, "cmdSave");
        QCOMPARE(messages.count(), 1);
        QCOMPARE(m_db->count("Tires"), 1);
        QCOMPARE(m_db->column("Tires", "listino1"), QStringList{"3.5"});
    }

    // A file that was read-only when the screen opened takes the next write
    // once it can be written again, without leaving the screen.
    void readOnlyFileBecomesWritable_data()
    {
        QTest::addColumn<QString>("write");
        QTest::newRow("save") << "cmdSave";
        QTest::newRow("delete") << "cmdDelete";
    }
    void readOnlyFileBecomesWritable()
    {
        QFETCH(QString, write);
        addArticle("TIR1A", "Idropittura");
        OrdinaryUser user(m_db->dir(), m_db->path());
        if (!user.ok())
            QSKIP("no ordinary user to run as");
        setWritable(m_db->path(), false);
        Messages messages;
        QWidget* s = nav::show("frmTire");
        if (write == "cmdSave") {
            click(s, "cmdUpdate");
            type(s, "txtPrice1", "4.5");
        }
        click(s, write);
        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.last().contains("the database file is read-only"),
                 qPrintable(messages.last()));
        QCOMPARE(m_db->count("Tires"), 1);
        setWritable(m_db->path(), true);
        click(s, write);
        QCOMPARE(messages.count(), 1);
        if (write == "cmdSave") {
            QCOMPARE(stored("TIR1A", "listino1"), QVariant(4.5));
            QCOMPARE(usable(s), QString("NAERGL"));
        } else {
            QCOMPARE(m_db->count("Tires"), 0);
        }
    }

    // Two copies of the program on one file: the other copy writes first.
    void writeOverAnotherCopysWrite_data()
    {
        QTest::addColumn<QString>("other");  // what the other copy does to the article
        QTest::addColumn<QString>("here");   // what this screen then does
        QTest::addColumn<bool>("refused");
        QTest::newRow("update after update") << "descrizione" << "Text1" << true;
        QTest::newRow("update after delete") << "delete" << "txtPrice1" << true;
        QTest::newRow("delete after update") << "listino2" << "cmdDelete" << true;
        QTest::newRow("delete after delete") << "delete" << "cmdDelete" << true;
        QTest::newRow("another field: both kept") << "listino2" << "Text1" << false;
    }
    void writeOverAnotherCopysWrite()
    {
        QFETCH(QString, other);
        QFETCH(QString, here);
        QFETCH(bool, refused);
        addArticle("TIR1A", "Idropittura");
        addArticle("TIR2B", "Smalto");
        Messages messages;
        QWidget* s = nav::show("frmTire");

        DataSource copy(std::make_shared<Database>(m_db->path()));
        copy.setSource("SELECT * FROM Tires ORDER BY Descrizione");
        if (other == "delete") {
            copy.deleteCurrent();
        } else {
            copy.setValue(other, "7");
            copy.update();
        }

        if (here == "cmdDelete") {
            click(s, "cmdDelete");
        } else {
            click(s, "cmdUpdate");
            type(s, here, "9");
            click(s, "cmdSave");
        }
        QCOMPARE(messages.count(), refused ? 1 : 0);
        if (!refused) {
            QCOMPARE(stored("TIR1A", "descrizione"), QVariant("9"));
            QCOMPARE(stored("TIR1A", "listino2"), QVariant(7.0));
            return;
        }
        QVERIFY2(messages.last().contains("another user changed or deleted this record since it "
                                          "was shown"),
                 qPrintable(messages.last()));
        QVERIFY2(messages.last().contains("open it again"), qPrintable(messages.last()));
        // Nothing written over the other copy's work; the typed text is still there.
        QCOMPARE(m_db->count("Tires"), other == "delete" ? 1 : 2);
        if (other != "delete")
            QCOMPARE(stored("TIR1A", other), QVariant(other == "descrizione" ? QVariant("7")
                                                                            : QVariant(7.0)));
        if (here != "cmdDelete") {
            QCOMPARE(text(s, here), QString("9"));
            QCOMPARE(usable(s), QString("SCPT$"));
        }
        // Reopened, the screen shows the current data and writes again.
        click(s, here == "cmdDelete" ? "cmdBack" : "cmdCancel");
        s = nav::show("frmTire");
        QCOMPARE(text(s, "txtCode"), QString(other == "delete" ? "TIR2B" : "TIR1A"));
        click(s, "cmdDelete");
        QCOMPARE(messages.count(), 1);
        QCOMPARE(m_db->count("Tires"), other == "delete" ? 0 : 1);
    }
};

QTEST_MAIN(ArticlesTest)
#include "tst_articles.moc"
