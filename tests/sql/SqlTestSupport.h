#pragma once
// The one PostgreSQL cluster the whole test program shares, started before the first test and
// stopped after the last (or when a test fails: gtest tears the environment down either way).

#include "PostgresServer.h"

#include <QString>

#include <gtest/gtest.h>

/// Starts the cluster, creates the test database and puts its password in QMR_DB_PASSWORD.
class PostgresEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
};

/// The running cluster.
PostgresServer& server();

/// The database the tests load from.
inline QString testDatabase() {
    return "shop";
}

/// Runs statements on the test database as the cluster's owner; fails the test on an error.
void execute(const QString& statements);
/// The first value of a query on the test database, as text.
QString queryValue(const QString& query);
