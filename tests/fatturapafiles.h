#pragma once

// The e-invoice tests' view of the files they write: validation against
// the published schema with xmllint, element texts, and runs of the tools.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QXmlStreamReader>

namespace velinor::test {

// The schema folder is shared beside the repository, a level or two up.
inline QString schemaDir()
{
    const QString fromEnv = qEnvironmentVariable("VELINOR_FATTURAPA_SCHEMA");
    if (!fromEnv.isEmpty())
        return fromEnv;
    QDir dir(QStringLiteral(VELINOR_SOURCE_DIR));
    do {
        if (dir.exists(QStringLiteral("shared/fatturapa/catalog.xml")))
            return dir.absoluteFilePath(QStringLiteral("shared/fatturapa"));
    } while (dir.cdUp());
    return {};
}

// Empty when xmllint accepts the file offline; else what it said.
inline QString schemaErrors(const QString& file)
{
    const QString dir = schemaDir();
    if (dir.isEmpty())
        return QStringLiteral("the FatturaPA schema folder (shared/fatturapa) was not found");
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XML_CATALOG_FILES"), dir + QStringLiteral("/catalog.xml"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("xmllint"),
            {QStringLiteral("--nonet"), QStringLiteral("--noout"), QStringLiteral("--schema"),
             dir + QStringLiteral("/Schema_del_file_xml_FatturaPA_v1.2.2.xsd"), file});
    if (!p.waitForFinished(60000))
        return QStringLiteral("xmllint could not be run (install libxml2-utils)");
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAll());
}

// The texts of every element of that name, in document order.
inline QStringList texts(const QString& file, const QString& element)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&f);
    QStringList found;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == element)
            found << xml.readElementText();
    return found;
}

struct Run {
    int exitCode;
    QString out;
    QString err;
};

inline Run run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace velinor::test
