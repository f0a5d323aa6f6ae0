#pragma once

#include "core/text/Translations.h"

#include <QtTest>

namespace TestSupport {

/// Gives this test program an environment of its own before anything reads
/// it, whatever the caller exported: HOME and every XDG folder (data, config,
/// cache, state, runtime) in one temporary folder removed at exit, the C.UTF-8
/// locale, the offscreen platform, no display, no desktop theme, and no
/// session bus unless the test runs on one of its own (REELBIND_OWN_BUS=1, as
/// dbus-run-session gives it under CTest). Nothing a test does reaches the
/// user's trash, settings, runtime folder or desktop.
void isolateEnvironment();

/// Makes the program's modules (the movie module) come from this build's
/// program folder: the test programs and benchmarks lie in folders of their
/// own. isolateEnvironment() calls it.
void useBuiltModules();

} // namespace TestSupport

/// The program's English texts (the words of its plurals), as the program
/// has them where it finds no translation for the user's language.
#define REELBIND_ENGLISH_TEXTS                                                                     \
    const Translations english({QStringLiteral(REELBIND_BUILT_TRANSLATIONS)},                     \
                               QLocale(QLocale::English))

/// main() of a test program on Qt Core alone, in an environment of its own.
#define REELBIND_CORE_TEST_MAIN(TestObject)                                                        \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        TestSupport::isolateEnvironment();                                                         \
        QCoreApplication app(argc, argv);                                                          \
        REELBIND_ENGLISH_TEXTS;                                                                    \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

/// main() of a test program with windows, in an environment of its own, with
/// Qt's own dialogs (never the desktop's) and the program's font.
#define REELBIND_GUI_TEST_MAIN(TestObject)                                                         \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        TestSupport::isolateEnvironment();                                                         \
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);                                   \
        QApplication app(argc, argv);                                                              \
        REELBIND_ENGLISH_TEXTS;                                                                    \
        TestSupport::initGuiTest();                                                                \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
