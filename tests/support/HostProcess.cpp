#include "HostProcess.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

QProcessEnvironment hostEnvironment(const QStringList& locale) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The machine's locale must not choose the screen's language: runs name theirs.
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"})
        environment.remove(variable);
    for (const QString& setting : locale)
        environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
    return environment;
}

} // namespace

HostRun runHost(const QStringList& arguments, const QStringList& locale) {
    return runProgram(QStringLiteral(QMR_HOST_EXE), arguments, hostEnvironment(locale));
}

HostRun runHostWith(const QStringList& arguments, const QProcessEnvironment& environment) {
    return runProgram(QStringLiteral(QMR_HOST_EXE), arguments, environment);
}

void startHost(QProcess& process, const QStringList& arguments) {
    startHost(process, arguments, hostEnvironment({}));
}

void startHost(QProcess& process, const QStringList& arguments, QProcessEnvironment environment) {
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QMR_HOST_EXE), arguments);
    if (!process.waitForStarted())
        ADD_FAILURE() << "the host did not start: " << process.errorString().toStdString();
}

QList<QJsonObject> jsonLines(const QByteArray& out) {
    QList<QJsonObject> objects;
    for (const QByteArray& line : out.split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        if (error.error != QJsonParseError::NoError || !document.isObject()) {
            ADD_FAILURE() << "not one JSON object on its line: " << line.left(300).toStdString();
            continue;
        }
        objects.append(document.object());
    }
    return objects;
}

HostRun runProgram(const QString& program, const QStringList& arguments, QProcessEnvironment environment) {
    QProcess process;
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    HostRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program.toStdString() << " did not finish: " << arguments.join(' ').toStdString();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    run.jsonValid = error.error == QJsonParseError::NoError && document.isObject();
    run.json = document.object();
    return run;
}

HostData::HostData() {
    m_products = write("produtos.csv", "CODIGO:integer,DESCRICAO:string(30),MARCA:string(20)\n"
                                       "1,Joia de prata,Aurora\n"
                                       "2,Arroz branco,Tio\n"
                                       "3,JORNAL do dia,Banca\n"
                                       "4,Feijao preto,Tio\n"
                                       "5,jogo de copos,Casa\n");
}

QString HostData::write(const QString& name, const QByteArray& content) const {
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        ADD_FAILURE() << "cannot write " << path(name).toStdString();
    return file.fileName();
}
