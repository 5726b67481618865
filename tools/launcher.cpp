// velinor-launcher: what the desktop menu starts. The program opens db1.mdb
// in its working directory and never creates it, so this gives it a home:
// the folder Velinor in the user's home. On first use it creates the folder
// and a database there with velinor-initdb --seed (the VAT rates and units a
// new business starts from), says so once, then runs
// velinor in that folder. Both programs are looked up in PATH.

#include "common/messagebox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <unistd.h>

using namespace velinor;

namespace {

struct Failure {
    QString operation;
    QString why;
};

// Creates the first database with velinor-initdb; a file it left half-made
// is removed, so the next start tries again instead of opening it.
void createDatabase(const QString& folder, const QString& file)
{
    const QString initdb = QStandardPaths::findExecutable(QStringLiteral("velinor-initdb"));
    if (initdb.isEmpty())
        throw Failure{QStringLiteral("Creating the database"),
                      QStringLiteral("velinor-initdb was not found in PATH")};
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(initdb, {QStringLiteral("--seed"), file});
    const bool ran = process.waitForFinished(-1);
    if (!ran || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        QFile::remove(QDir(folder).filePath(file));
        const QString said = QString::fromLocal8Bit(process.readAll()).trimmed();
        throw Failure{QStringLiteral("Creating the database"),
                      said.isEmpty() ? process.errorString() : said};
    }
}

} // namespace

int main(int argc, char* argv[])
{
    // A dialog only where there is a screen to show it on.
    const bool display = qEnvironmentVariableIsSet("DISPLAY")
                         || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    std::unique_ptr<QCoreApplication> app;
    if (display)
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);

    const QString folder = QDir::home().filePath(QStringLiteral("Velinor"));
    const QString file = QStringLiteral("db1.mdb");
    QString note;
    QString velinor;
    try {
        std::error_code ec;
        std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), ec);
        if (ec || !QFileInfo(folder).isDir())
            throw Failure{QStringLiteral("Creating the folder %1").arg(folder),
                          ec ? QString::fromLocal8Bit(ec.message())
                             : QStringLiteral("a file of that name is in the way")};
        // A desk of an office finds its server through velinor.conf or
        // VELINOR_DATABASE: it needs no file of its own.
        const bool elsewhere = !qEnvironmentVariableIsEmpty("VELINOR_DATABASE")
                               || QFileInfo::exists(QDir(folder).filePath(QStringLiteral("velinor.conf")));
        if (!elsewhere && !QFileInfo::exists(QDir(folder).filePath(file))) {
            createDatabase(folder, file);
            note = QStringLiteral("Velinor keeps its data in %1, in the file %2, which has just "
                                  "been created empty but for the Italian VAT rates and the "
                                  "common units of measure. Create your user account with "
                                  "\"Nuovo Utente\" on the login screen (the administrator "
                                  "password is empty).")
                       .arg(QDir::toNativeSeparators(folder), file);
        }
        velinor = QStandardPaths::findExecutable(QStringLiteral("velinor"));
        if (velinor.isEmpty())
            throw Failure{QStringLiteral("Starting Velinor"),
                          QStringLiteral("velinor was not found in PATH")};
    } catch (const Failure& f) {
        QTextStream(stderr) << "velinor-launcher: " << f.operation << " failed: " << f.why << '\n';
        if (display)
            msg::failed(nullptr, f.operation, f.why);
        return 1;
    }

    if (!note.isEmpty()) {
        QTextStream(stdout) << note << '\n';
        if (display)
            msg::information(nullptr, note);
    }

    // The program takes this process over, in its folder.
    app.reset();
    const QByteArray program = QFile::encodeName(velinor);
    if (::chdir(QFile::encodeName(folder).constData()) == 0)
        ::execl(program.constData(), "velinor", static_cast<char*>(nullptr));
    QTextStream(stderr) << "velinor-launcher: Starting Velinor failed: " << velinor << ": "
                        << QString::fromLocal8Bit(std::strerror(errno)) << '\n';
    return 1;
}
