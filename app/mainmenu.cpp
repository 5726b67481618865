#include "app/mainmenu.h"

#include "app/navigation.h"
#include "common/logo.h"
#include "common/messagebox.h"
#include "data/backup.h"
#include "data/database.h"

#include <QApplication>
#include <QFileDialog>
#include <QProgressDialog>
#include <QGroupBox>
#include <QLabel>
#include <QHBoxLayout>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace velinor {

MainMenu::MainMenu(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMenu"));
    setWindowTitle(QStringLiteral("Velinor"));

    struct Entry {
        const char* name;
        const char* caption;
        const char* opens;
    };
    static const Entry entries[] = {
        {"cmdTire", "Aggiornamento Articoli", "frmTire"},
        {"cmdCustomer", "Aggiornamento Clienti", "frmCustomer"},
        {"cmdInvoice", "Fattura di Vendita", "frmFatture"},
        {"cmdMonthly", "Statistiche", "frmMonthly"},
        {"cmdOrder", "Stampe Ordini / Preventivi", "frmordini"},
        {"cmdPagamenti", "Pagamenti", "frmPagamenti"},
    };

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* column = new QVBoxLayout(frame);
    const QFont verdana(QStringLiteral("Verdana"));
    for (const Entry& e : entries) {
        auto* button = new QPushButton(QString::fromUtf8(e.caption), frame);
        button->setObjectName(QLatin1String(e.name));
        button->setFont(verdana);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setFixedHeight(button->sizeHint().height() * 2);
        column->addWidget(button);
        const QString target = QLatin1String(e.opens);
        connect(button, &QPushButton::clicked, this, [this, target] { nav::go(this, target); });
    }

    column->addStretch();

    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("mnuBar"));
    QMenu* archive = bar->addMenu(QStringLiteral("&Archivio"));
    archive->setObjectName(QStringLiteral("mnuArchivio"));
    QAction* backup = archive->addAction(QStringLiteral("&Copia di sicurezza..."));
    backup->setObjectName(QStringLiteral("mnuBackup"));
    connect(backup, &QAction::triggered, this, &MainMenu::backUp);
    // Opens over the menu, which stays.
    QAction* company = archive->addAction(QStringLiteral("&Dati Azienda..."));
    company->setObjectName(QStringLiteral("mnuAzienda"));
    connect(company, &QAction::triggered, this, [] { nav::show(QStringLiteral("frmAzienda")); });

    auto* layout = new QHBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(makeLogo(this, 96), 0, Qt::AlignTop);
    layout->addWidget(frame, 1);
    resize(460, 300);
}

void MainMenu::backUp()
{
    QFileDialog dialog(this, QStringLiteral("Copia di sicurezza"));
    dialog.setObjectName(QStringLiteral("dlgBackup"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A server database is saved as a pg_dump archive.
    const bool server = Database::isServerLocation(Database::location());
    dialog.setNameFilter(server ? QStringLiteral("Archivio pg_dump (*.dump)")
                                : QStringLiteral("Database Velinor (*.mdb)"));
    dialog.setDefaultSuffix(server ? QStringLiteral("dump") : QStringLiteral("mdb"));
    dialog.setDirectory(QDir::home());
    dialog.selectFile(backupFileName(QDate::currentDate(), server));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;

    const QString target = dialog.selectedFiles().first();
    QProgressDialog progress(QStringLiteral("Copia di sicurezza in corso..."),
                             QStringLiteral("Annulla"), 0, 100, this);
    progress.setObjectName(QStringLiteral("dlgBackupProgress"));
    progress.setWindowTitle(QStringLiteral("Kestrava"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setValue(0);
    try {
        const BackupResult copy =
            backupDatabase(Database::location(), target, [&progress](int done, int total) {
                progress.setMaximum(std::max(total, 1));
                progress.setValue(done); // lets the user press Cancel
                return !progress.wasCanceled();
            });
        progress.reset();
        const QString size =
            QLocale().formattedDataSize(copy.bytes, 0, QLocale::DataSizeTraditionalFormat);
        msg::information(this, (server ? QStringLiteral("The backup was written to %1 (%2) by "
                                                        "pg_dump.")
                                       : QStringLiteral("The backup was written to %1 (%2) and "
                                                        "passed the integrity check."))
                                   .arg(QDir::toNativeSeparators(copy.path), size));
    } catch (const BackupStopped&) {
        progress.reset(); // the user's own choice: nothing to tell
    } catch (const DbError& e) {
        progress.reset();
        msg::failed(this, QStringLiteral("Backing up the database"), e.text());
    }
}

} // namespace velinor
