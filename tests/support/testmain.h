#pragma once

#include "app/charactertype.h"

#include <QtTest>

// QTEST_GUILESS_MAIN for the tests that handle names: the character type is
// made UTF-8 right after the application object, as the executables do.
#define KV_TEST_GUILESS_MAIN(TestObject)          \
    int main(int argc, char* argv[])              \
    {                                             \
        QCoreApplication app(argc, argv);         \
        EnsureUtf8CharacterType();                \
        TestObject tc;                            \
        QTEST_SET_MAIN_SOURCE_PATH                \
        return QTest::qExec(&tc, argc, argv);     \
    }
