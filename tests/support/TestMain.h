#pragma once
// The test programs share a few executables: each test class registers itself
// under the name of its file (test_nlms, test_history, ...), and the
// executable runs the one class its first argument names, in a process of its
// own, as a program of its own would. ctest lists and runs each class apart.
//
//   VESKARO_TEST_MAIN(TestNlms)             with a QApplication
//   VESKARO_TEST_GUILESS_MAIN(TestTrace)    with a QCoreApplication

#include <QApplication>
#include <QCoreApplication>
#include <QTest>

namespace testing {

using TestRun = int (*)(int argc, char** argv);

// Registers the test class of `sourceFile` (its base name is the key).
bool registerTestProgram(const char* sourceFile, TestRun run);

}  // namespace testing

#define VESKARO_TEST_MAIN_WITH_APP(TestObject, Application)                                                            \
    namespace {                                                                                                        \
    int runTestProgram(int argc, char** argv)                                                                          \
    {                                                                                                                  \
        QTest::Internal::callInitMain<TestObject>();                                                                   \
        Application app(argc, argv);                                                                                   \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestObject testObject;                                                                                         \
        QTest::setMainSourcePath(__FILE__);                                                                            \
        return QTest::qExec(&testObject, argc, argv);                                                                  \
    }                                                                                                                  \
    [[maybe_unused]] const bool testProgramRegistered = testing::registerTestProgram(__FILE__, runTestProgram);        \
    }

#define VESKARO_TEST_MAIN(TestObject) VESKARO_TEST_MAIN_WITH_APP(TestObject, QApplication)
#define VESKARO_TEST_GUILESS_MAIN(TestObject) VESKARO_TEST_MAIN_WITH_APP(TestObject, QCoreApplication)
