#include "SqlTestSupport.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <memory>

namespace {

std::unique_ptr<PostgresServer> g_server;

// Runs `body` on a fresh connection to `database` as the cluster's owner.
template <typename Body> void withConnection(const QString& database, Body body) {
    const QString name = "qmr-test-admin";
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", name);
        db.setHostName(server().socketFolder());
        db.setDatabaseName(database);
        db.setUserName(PostgresServer::user());
        db.setPassword(PostgresServer::password());
        if (!db.open())
            ADD_FAILURE() << "cannot connect to " << database.toStdString() << ": "
                          << db.lastError().text().toStdString();
        else
            body(db);
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

PostgresServer& server() {
    return *g_server;
}

void PostgresEnvironment::SetUp() {
    g_server = std::make_unique<PostgresServer>();
    ASSERT_TRUE(g_server->create()) << "PostgreSQL cannot start: " << g_server->error();
    qputenv("QMR_DB_PASSWORD", PostgresServer::password().toUtf8());
    withConnection("postgres", [](QSqlDatabase& db) {
        QSqlQuery query(db);
        EXPECT_TRUE(query.exec("CREATE DATABASE " + testDatabase()))
            << query.lastError().text().toStdString();
    });
}

void PostgresEnvironment::TearDown() {
    // Stops the server at once, even after a failed test.
    g_server.reset();
}

void execute(const QString& statements) {
    withConnection(testDatabase(), [&](QSqlDatabase& db) {
        for (const QString& statement : statements.split(';', Qt::SkipEmptyParts)) {
            if (statement.trimmed().isEmpty())
                continue;
            QSqlQuery query(db);
            EXPECT_TRUE(query.exec(statement))
                << statement.toStdString() << ": " << query.lastError().text().toStdString();
        }
    });
}

QString queryValue(const QString& text) {
    QString value;
    withConnection(testDatabase(), [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        if (query.exec(text) && query.next())
            value = query.value(0).toString();
        else
            ADD_FAILURE() << text.toStdString() << ": " << query.lastError().text().toStdString();
    });
    return value;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new PostgresEnvironment);
    return RUN_ALL_TESTS();
}
