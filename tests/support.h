#pragma once

#include "common/messagebox.h"
#include "data/database.h"

#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <memory>

namespace velinor::test {

// A fresh database with every table, in a temporary folder that is the
// working directory while the object lives. db() is a connection of the
// test's own, for seeding and for checking what the screens wrote.
// The database is db1.mdb in that folder, or, when VELINOR_TEST_ENGINE is
// "server", a new database on the server VELINOR_TEST_SERVER names, which
// the program finds through VELINOR_DATABASE and which is dropped at the
// end. Without a server the current test is skipped (made in init()).
class TempDatabase {
public:
    TempDatabase();
    ~TempDatabase();

    static bool onServer();
    // The server's maintenance database; empty when none was started.
    static QString serverUri();
    bool isServer() const { return !m_serverName.isEmpty(); }

    // The file's path, or the server database's URI.
    QString path() const;
    QString dir() const { return m_dir.path(); }
    Database& db() { return *m_db; }
    void exec(const QString& sql, const QVariantList& params = {}) { m_db->exec(sql, params); }
    QVariant scalar(const QString& sql, const QVariantList& params = {})
    {
        return m_db->scalar(sql, params);
    }
    int count(const QString& table);
    // One column of a table, in stored order.
    QStringList column(const QString& table, const QString& field);

private:
    QTemporaryDir m_dir;
    QString m_previous;
    QString m_serverName;
    QString m_uri;
    QByteArray m_previousLocation;
    std::unique_ptr<Database> m_db;
};

// A fresh database on the server with every table; its URI. Dropped by
// dropServerDatabase.
QString createServerDatabase(const QString& name);
void dropServerDatabase(const QString& name);

// Takes every message the program shows instead of the user, who would
// otherwise have to close a modal box.
class Messages {
public:
    struct Entry {
        QString text;
        msg::Icon icon;
    };
    Messages();
    ~Messages();
    int count() const { return static_cast<int>(m_entries.size()); }
    QStringList texts() const;
    QString last() const { return m_entries.isEmpty() ? QString() : m_entries.last().text; }
    msg::Icon lastIcon() const { return m_entries.last().icon; }
    void clear() { m_entries.clear(); }

private:
    QList<Entry> m_entries;
};

// The open screen of that name (nullptr when none).
QWidget* screen(const QString& name);

// Closes every open window and deletes it, as the user would by quitting.
void closeAll();

// A named control of a screen; a missing one fails loudly.
template <class T> T* control(QWidget* screen, const QString& name)
{
    if (!screen)
        qFatal("no screen to look for %s in", qPrintable(name));
    T* found = screen->findChild<T*>(name);
    if (!found)
        qFatal("%s has no %s", qPrintable(screen->objectName()), qPrintable(name));
    return found;
}

// The text of a PDF file as pdftotext reads it, page by page (-layout keeps
// the columns of a line on that line). Empty when it cannot be read.
QStringList pdfPages(const QString& path);

// Clicks a button as the user would.
void click(QWidget* screen, const QString& button);
// Replaces the text of a box as the user would: select all, type.
void type(QWidget* screen, const QString& box, const QString& text);
// Clicks the middle of a cell of a grid, scrolled into sight first.
void clickRow(QWidget* screen, const QString& grid, int row, int column = 0);
// Makes a cell of the lines grid current, opens its editor the way given
// (typing, F2 or a double click), types and commits with Enter.
void editCell(QWidget* screen, int row, int column, const QString& text,
              const QString& how = "F2");

} // namespace velinor::test
