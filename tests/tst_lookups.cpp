// The three lookup screens, driven through their widgets on a real file.

#include "app/navigation.h"
#include "tests/support.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>

using namespace velinor;
using namespace velinor::test;

namespace {

struct Kind {
    QString table, field, box;
};

Kind kindOf(const QString& screenName)
{
    if (screenName == "frmCategory")
        return {"Categories", "Category", "txtCategory"};
    if (screenName == "frmPattern")
        return {"Patterns", "Pattern", "txtPattern"};
    return {"Sizes", "Size", "txtSize"};
}

// Which of the pattern's controls can be used: N(uovo), A(ggiorna), S(alva),
// C(ancella), E(limina), L(ist), K(ey box writable).
QString usable(QWidget* s, const QString& box)
{
    QString state;
    const char* buttons[] = {"cmdAdd", "cmdUpdate", "cmdSave", "cmdCancel", "cmdDelete"};
    for (int i = 0; i < 5; ++i)
        if (control<QPushButton>(s, buttons[i])->isEnabled())
            state += "NASCE"[i];
    if (control<QTableView>(s, "DataGrid1")->isEnabled())
        state += 'L';
    if (!control<QLineEdit>(s, box)->isReadOnly())
        state += 'K';
    return state;
}

} // namespace

class LookupsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

    QWidget* open(const QString& name, const QStringList& rows = {})
    {
        const Kind k = kindOf(name);
        for (const QString& r : rows)
            m_db->exec(QString("INSERT INTO %1 VALUES (?)").arg(k.table), {r});
        return nav::show(name);
    }

private slots:
    void init() { m_db = std::make_unique<TempDatabase>(); }
    void cleanup()
    {
        closeAll();
        m_db.reset();
    }

    void screensDifferOnlyInTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("texts"); // caption, key caption, new, back
        QTest::newRow("groups") << "frmCategory"
                                << QStringList{"Gruppi Merceologici", "Settore", "Nuovo", "<<Ritorna"};
        QTest::newRow("units") << "frmPattern"
                               << QStringList{"Tread Pattern Data Entry", "Tread Pattern", "Nuovo",
                                              "<<Ritorna"};
        QTest::newRow("VAT rates") << "frmSize"
                                   << QStringList{"Tire Size Data Entry", "Aliquota", "Nuova",
                                                  "<<Ritorno"};
    }
    void screensDifferOnlyInTexts()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, texts);
        const Kind k = kindOf(name);
        QWidget* s = open(name, {"uno", "due"});
        QCOMPARE(s->windowTitle(), texts[0]);
        QCOMPARE(control<QLabel>(s, "Label1")->text(), texts[1]);
        QCOMPARE(control<QPushButton>(s, "cmdAdd")->text(), texts[2]);
        QCOMPARE(control<QPushButton>(s, "cmdBack")->text(), texts[3]);
        QCOMPARE(control<QLineEdit>(s, k.box)->maxLength(), 50);
        QCOMPARE(control<QLineEdit>(s, k.box)->text(), QString("uno"));
        QVERIFY(!control<QLineEdit>(s, k.box + "2")->isVisible());
        QCOMPARE(control<QTableView>(s, "DataGrid1")->model()->headerData(0, Qt::Horizontal),
                 QVariant(k.field));
        QCOMPARE(usable(s, k.box), QString("NAEL"));
        click(s, "cmdBack");
        QVERIFY(screen("frmTire"));
        QVERIFY(!screen(name));
    }

    void emptyTableEnablesOnlyNew()
    {
        Messages messages;
        QWidget* s = open("frmSize");
        QCOMPARE(usable(s, "txtSize"), QString("N"));
        click(s, "cmdAdd");
        QCOMPARE(usable(s, "txtSize"), QString("SCK"));
        type(s, "txtSize", "22");
        click(s, "cmdSave");
        QCOMPARE(messages.count(), 0);
        QCOMPARE(usable(s, "txtSize"), QString("NAEL"));
        QCOMPARE(m_db->column("Sizes", "Size"), QStringList{"22"});
    }

    void save_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("modify"); // otherwise New
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("stored");
        const QStringList twins{"22", "22"};
        QTest::newRow("modify unchanged: no search") << "frmSize" << twins << true << QStringList{}
                                                      << "" << twins;
        QTest::newRow("modify to another row's key")
            << "frmCategory" << QStringList{"Ferramenta", "Elettrico"} << true
            << QStringList{"Elettrico"} << "Category already in used."
            << QStringList{"Ferramenta", "Elettrico"};
        QTest::newRow("modify changed back") << "frmSize" << twins << true
                                             << QStringList{"10", "22"} << "" << twins;
        QTest::newRow("modify to a new key") << "frmPattern" << QStringList{"pz", "kg"} << true
                                             << QStringList{"conf"} << ""
                                             << QStringList{"conf", "kg"};
        QTest::newRow("new, empty key") << "frmCategory" << QStringList{"Vernici"} << false
                                        << QStringList{} << "Invalid data."
                                        << QStringList{"Vernici"};
        QTest::newRow("new, key in other case") << "frmPattern" << QStringList{"pz"} << false
                                                << QStringList{"PZ"}
                                                << "Tread Pattern already in used."
                                                << QStringList{"pz"};
        QTest::newRow("VAT text taken on the VAT screen")
            << "frmSize" << QStringList{"22"} << false << QStringList{"22"}
            << "Tire Size already in used." << QStringList{"22"};
        QTest::newRow("VAT text accepted on the units screen")
            << "frmPattern" << QStringList{"pz"} << false << QStringList{"22"} << ""
            << QStringList{"pz", "22"};
        QTest::newRow("quoted key found") << "frmCategory" << QStringList{"Ca' d'Oro"} << false
                                          << QStringList{"ca' D'ORO"} << "Category already in used."
                                          << QStringList{"Ca' d'Oro"};
        QTest::newRow("quoted key saved") << "frmCategory" << QStringList{"Ca' d'Oro"} << false
                                          << QStringList{"' OR ''='"} << ""
                                          << QStringList{"Ca' d'Oro", "' OR ''='"};
    }
    void save()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, rows);
        QFETCH(bool, modify);
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        QFETCH(QStringList, stored);
        const Kind k = kindOf(name);
        if (name != "frmSize")
            m_db->exec("INSERT INTO Sizes VALUES ('22')");
        Messages messages;
        QWidget* s = open(name, rows);
        auto* box = control<QLineEdit>(s, k.box);
        click(s, modify ? "cmdUpdate" : "cmdAdd");
        QCOMPARE(box->selectedText(), box->text()); // whole text selected on entering
        for (const QString& t : typed)
            type(s, k.box, t);
        const QString last = box->text();
        click(s, "cmdSave");
        QCOMPARE(m_db->column(k.table, k.field), stored);
        if (message.isEmpty()) {
            QCOMPARE(messages.count(), 0);
            QCOMPARE(usable(s, k.box), QString("NAEL"));
            QCOMPARE(box->text(), last);
            return;
        }
        QCOMPARE(messages.texts(), QStringList{message});
        QCOMPARE(messages.lastIcon(), msg::Icon::Critical);
        QCOMPARE(usable(s, k.box), QString("SCK"));
        QCOMPARE(box->text(), last);
        QCOMPARE(s->focusWidget(), box);
        QCOMPARE(box->selectedText(), message == "Invalid data." ? QString() : last);
        // Closing a real message box activates the screen again.
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(s, &activate);
        QCOMPARE(usable(s, k.box), QString("SCK"));
    }

    void deleteOfTheLastRowDisablesAtOnce()
    {
        m_db->exec("INSERT INTO Tires (\"Tire Code\", Category) VALUES ('TIR1A', 'Vernici')");
        Messages messages;
        QWidget* s = open("frmCategory", {"Vernici"});
        click(s, "cmdDelete");
        QCOMPARE(messages.count(), 0);
        QCOMPARE(m_db->count("Categories"), 0);
        QCOMPARE(usable(s, "txtCategory"), QString("N"));
        QCOMPARE(control<QLineEdit>(s, "txtCategory")->text(), QString());
        QCOMPARE(m_db->column("Tires", "Category"), QStringList{"Vernici"}); // a copy, not a reference
    }

    void leavingTheEditStateDiscards_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("leave");
        QTest::newRow("cancel during new") << "frmPattern" << "cmdAdd" << "cmdCancel";
        QTest::newRow("cancel during modify") << "frmSize" << "cmdUpdate" << "cmdCancel";
        QTest::newRow("back during new") << "frmCategory" << "cmdAdd" << "cmdBack";
        QTest::newRow("back during modify") << "frmSize" << "cmdUpdate" << "cmdBack";
    }
    void leavingTheEditStateDiscards()
    {
        QFETCH(QString, name);
        QFETCH(QString, start);
        QFETCH(QString, leave);
        const Kind k = kindOf(name);
        QWidget* s = open(name, {"uno", "due"});
        QPointer<QWidget> old = s;
        click(s, start);
        type(s, k.box, "tre");
        click(s, leave);
        QCOMPARE(m_db->column(k.table, k.field), (QStringList{"uno", "due"}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(old.isNull());
        if (leave == "cmdBack") {
            QVERIFY(screen("frmTire"));
            QVERIFY(!screen(name));
            return;
        }
        QWidget* again = screen(name);
        QVERIFY(again && !screen("frmTire"));
        QCOMPARE(control<QLineEdit>(again, k.box)->text(), QString("uno"));
        QCOMPARE(usable(again, k.box), QString("NAEL"));
    }

    void enterStartsNewOnlyWhileBrowsing()
    {
        Messages messages;
        QWidget* s = open("frmCategory", {"Vernici"});
        auto* box = control<QLineEdit>(s, "txtCategory");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(usable(s, "txtCategory"), QString("SCK"));
        QCOMPARE(box->text(), QString());
        type(s, "txtCategory", "Giardinaggio");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(usable(s, "txtCategory"), QString("SCK"));
        QCOMPARE(box->text(), QString("Giardinaggio"));
        QCOMPARE(m_db->count("Categories"), 1);
        QCOMPARE(messages.count(), 0);
    }

    void refusedWritesKeepTheScreen()
    {
        Messages messages;
        QWidget* s = open("frmCategory", {"Vernici"});
        m_db->exec("BEGIN IMMEDIATE"); // another program holds the file for writing
        click(s, "cmdDelete");
        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.last().startsWith("Deleting the merchandise group failed: "),
                 qPrintable(messages.last()));
        QVERIFY2(messages.last().contains("in use"), qPrintable(messages.last()));
        QCOMPARE(control<QLineEdit>(s, "txtCategory")->text(), QString("Vernici"));
        click(s, "cmdAdd");
        type(s, "txtCategory", "Idraulica");
        click(s, "cmdSave");
        QCOMPARE(messages.count(), 2);
        QVERIFY2(messages.last().startsWith("Saving the merchandise group failed: "),
                 qPrintable(messages.last()));
        QCOMPARE(usable(s, "txtCategory"), QString("SCK"));
        QCOMPARE(control<QLineEdit>(s, "txtCategory")->text(), QString("Idraulica"));
        m_db->exec("ROLLBACK");
        click(s, "cmdSave");
        QCOMPARE(messages.count(), 2);
        QCOMPARE(m_db->column("Categories", "Category"), (QStringList{"Vernici", "Idraulica"}));
    }
};

QTEST_MAIN(LookupsTest)
#include "tst_lookups.moc"
