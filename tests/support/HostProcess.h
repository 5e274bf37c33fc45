#pragma once
// Runs the built host application as a user would, on the offscreen platform, and reads its report.

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

class QProcess;

/// What one run of the host left: exit status, both output streams and the parsed report.
struct HostRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    /// stdout parsed as one JSON object (empty when it is not one).
    QJsonObject json;
    bool jsonValid = false;
};

/// Runs the host with `arguments`, with no locale but the `locale` settings ("LANG=pt_BR.UTF-8");
/// fails the test if it does not end within a generous time.
HostRun runHost(const QStringList& arguments, const QStringList& locale = {});
/// Runs `program` (a host binary, or another tool) the same way, with `environment` (the offscreen
/// platform is added to it).
HostRun runProgram(const QString& program, const QStringList& arguments, QProcessEnvironment environment);

/// Starts the host with `arguments` as runHost runs it, without waiting: for tests that act on the
/// running host (signals, files changed between calls). The caller waits for it to finish.
void startHost(QProcess& process, const QStringList& arguments);
/// The same with `environment` instead of the test's own (the offscreen platform is added to it).
void startHost(QProcess& process, const QStringList& arguments, QProcessEnvironment environment);
/// Runs the host with `environment` instead of the test's own.
HostRun runHostWith(const QStringList& arguments, const QProcessEnvironment& environment);

/// The reports of a repeated run: one JSON object a line. A line that is not one object alone
/// fails the test.
QList<QJsonObject> jsonLines(const QByteArray& out);

/// A scratch folder with small data files of known content for the runs.
class HostData {
public:
    HostData();
    /// A file of the scratch folder (not created).
    QString path(const QString& name) const { return m_dir.filePath(name); }
    /// Writes `content` to a file of the scratch folder and returns its path.
    QString write(const QString& name, const QByteArray& content) const;
    /// Products: CODIGO, DESCRICAO (30 chars, the search column), MARCA. Five rows, three of which
    /// begin with "Jo", written in mixed case.
    QString products() const { return m_products; }

private:
    QTemporaryDir m_dir;
    QString m_products;
};
