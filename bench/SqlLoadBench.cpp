// qmr41726-sql-bench: the time to load the generated customer list from a PostgreSQL server (a
// throwaway cluster on a Unix socket, as the tests start it) beside the time to load the same rows
// from the CSV file. `--rows N` (1000000 by default). Without a server it says why and measures the
// CSV load alone.

#include "CsvFile.h"
#include "PostgresServer.h"
#include "RowGenerator.h"
#include "Timing.h"
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/sql/SourceLoader.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

int rowsFromArguments(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--rows" && std::atoi(argv[2]) > 0)
        return std::atoi(argv[2]);
    if (argc != 1)
        throw std::invalid_argument("usage: qmr41726-sql-bench [--rows N]");
    return 1000000;
}

// Copies the CSV file into a table of the server (the server reads the file itself, as fast as it
// can); returns an empty string or the reason it failed.
std::string fillServer(const PostgresServer& server, const std::string& csv) {
    std::string error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", "bench-fill");
        db.setHostName(server.socketFolder());
        db.setDatabaseName("postgres");
        db.setUserName(PostgresServer::user());
        db.setPassword(PostgresServer::password());
        QSqlQuery query(db);
        if (!db.open())
            error = db.lastError().text().toStdString();
        else if (!query.exec("CREATE TABLE clientes (codigo integer, nome varchar(30), cidade varchar(20), "
                             "ativo varchar(1))") ||
                 !query.exec("COPY clientes FROM '" + QString::fromStdString(csv) +
                             "' (FORMAT csv, HEADER true)"))
            error = query.lastError().text().toStdString();
    }
    QSqlDatabase::removeDatabase("bench-fill");
    return error;
}

void report(const char* what, double ms, const qmr::TColumnStore& store) {
    std::printf("  %-34s %9.1f ms  %8d rows  %6.1f MB held\n", what, ms, store.rowCount(),
                double(store.memoryBytes()) / (1024.0 * 1024.0));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        const int count = rowsFromArguments(argc, argv);
        const TemporaryFile csv("/tmp/qmr41726-sql-bench-" + std::to_string(getpid()) + ".csv");
        writeCsvFile(generateRows(count), csv.path());
        std::printf("Loading %d rows (CODIGO, NOME, CIDADE, Ativo):\n", count);
        qmr::LoadResult fromCsv;
        const double csvMs = timeMs([&] { fromCsv = qmr::loadSource(csv.path()); });
        if (!fromCsv)
            throw std::runtime_error(fromCsv.error->message);
        report("CSV file", csvMs, *fromCsv.store);

        PostgresServer server;
        if (!server.create()) {
            std::printf("  PostgreSQL server: not measured, the server cannot start: %s\n",
                        server.error().c_str());
            return 0;
        }
        if (const std::string error = fillServer(server, csv.path()); !error.empty()) {
            std::printf("  PostgreSQL server: not measured, the rows cannot be copied in: %s\n",
                        error.c_str());
            return 0;
        }
        setenv("QMR_DB_PASSWORD", PostgresServer::password().toUtf8().constData(), 1);
        qmr::LoadResult fromServer;
        const double serverMs = timeMs([&] {
            fromServer =
                qmr::loadSource(server.url("postgres"), "SELECT codigo, nome, cidade, ativo FROM clientes");
        });
        if (!fromServer)
            throw std::runtime_error(fromServer.error->message);
        report("PostgreSQL server (Unix socket)", serverMs, *fromServer.store);
        if (fromServer.store->rowCount() != fromCsv.store->rowCount())
            std::printf("  the server gave %d rows where the CSV file has %d\n", fromServer.store->rowCount(),
                        fromCsv.store->rowCount());
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "qmr41726-sql-bench: " << error.what() << "\n";
        return 1;
    }
}
