#pragma once

#include "tests/support/testodbcenv.h"

#include <QtTest>

Q_DECLARE_METATYPE(kvtest::Engine)

namespace kvtest {

inline const QList<QPair<const char*, Engine>>& AllEngines()
{
    static const QList<QPair<const char*, Engine>> engines = {
        {"sqlite", Engine::SQLite}, {"postgresql", Engine::PostgreSQL}, {"mariadb", Engine::MariaDB}};
    return engines;
}

inline void AddEngineRows()
{
    QTest::addColumn<Engine>("engine");
    for (const auto& [pszName, engine] : AllEngines())
        QTest::newRow(pszName) << engine;
}

}  // namespace kvtest
