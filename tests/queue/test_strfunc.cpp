#include "queue/StrFunc.h"

#include <QtTest>
#include <optional>
#include <stdexcept>

using namespace StrFunc;

namespace {
const QString NUL(QChar(0));

// One row per text: the five answers for a delimiter.
struct Split
{
    int lastIn;
    QString leftOf, rightOf, rightOfLast;
    std::optional<QString> leftOfLast; // nullopt: LeftOfLast must throw
};

void checkSplit(const QString& text, const QString& delim, const Split& want)
{
    QCOMPARE(LastInStr(text, delim), want.lastIn);
    QCOMPARE(LeftOf(text, delim), want.leftOf);
    QCOMPARE(RightOf(text, delim), want.rightOf);
    QCOMPARE(RightOfLast(text, delim), want.rightOfLast);
    if (want.leftOfLast) {
        QCOMPARE(LeftOfLast(text, delim), *want.leftOfLast);
    } else {
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, LeftOfLast(text, delim));
    }
}
} // namespace

class TestStrFunc : public QObject
{
    Q_OBJECT
private slots:
    void paths_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("delim");
        QTest::addColumn<int>("lastIn");
        QTest::addColumn<QString>("leftOf");
        QTest::addColumn<QString>("rightOf");
        QTest::addColumn<QString>("leftOfLast");
        QTest::addColumn<QString>("rightOfLast");

        // Windows-style paths with "\" and the same shapes with "/".
        QTest::newRow("backslash file") << "C:\\Movies\\clip1.mpg"
                                        << "\\" << 10 << "C:"
                                        << "Movies\\clip1.mpg"
                                        << "C:\\Movies"
                                        << "clip1.mpg";
        QTest::newRow("slash file") << "/movies/clip1.mpg"
                                    << "/" << 8 << ""
                                    << "movies/clip1.mpg"
                                    << "/movies"
                                    << "clip1.mpg";
        QTest::newRow("backslash root file") << "C:\\clip1.mpg"
                                             << "\\" << 3 << "C:"
                                             << "clip1.mpg"
                                             << "C:"
                                             << "clip1.mpg";
        QTest::newRow("slash root file") << "/clip1.mpg"
                                         << "/" << 1 << ""
                                         << "clip1.mpg"
                                         << ""
                                         << "clip1.mpg";
        QTest::newRow("backslash folder") << "C:\\Movies\\"
                                          << "\\" << 10 << "C:"
                                          << "Movies\\"
                                          << "C:\\Movies"
                                          << "";
        QTest::newRow("slash folder") << "/movies/"
                                      << "/" << 8 << ""
                                      << "movies/"
                                      << "/movies"
                                      << "";
        QTest::newRow("backslash drive root") << "C:\\"
                                              << "\\" << 3 << "C:"
                                              << ""
                                              << "C:"
                                              << "";
        QTest::newRow("slash root") << "/"
                                    << "/" << 1 << ""
                                    << ""
                                    << ""
                                    << "";
        QTest::newRow("delimiter first") << "\\abc"
                                         << "\\" << 1 << ""
                                         << "abc"
                                         << ""
                                         << "abc";
        QTest::newRow("delimiter last") << "abc/"
                                        << "/" << 4 << "abc"
                                        << ""
                                        << "abc"
                                        << "";
        QTest::newRow("doubled root") << "//tarvik.ini"
                                      << "/" << 2 << ""
                                      << "/tarvik.ini"
                                      << "/"
                                      << "tarvik.ini";
        // Matching is exact: no case folding, and "\" is no "/".
        QTest::newRow("other separator is text") << "C:/Movies/clip.mpg"
                                                 << "\\" << 0 << "C:/Movies/clip.mpg"
                                                 << "C:/Movies/clip.mpg"
                                                 << "<throws>"
                                                 << "C:/Movies/clip.mpg";
        QTest::newRow("case exact") << "aXbxc"
                                    << "x" << 4 << "aXb"
                                    << "c"
                                    << "aXb"
                                    << "c";
    }

    void paths()
    {
        QFETCH(QString, text);
        QFETCH(QString, delim);
        QFETCH(int, lastIn);
        QFETCH(QString, leftOf);
        QFETCH(QString, rightOf);
        QFETCH(QString, leftOfLast);
        QFETCH(QString, rightOfLast);
        const QString before = text;
        Split want{lastIn, leftOf, rightOf, rightOfLast,
                   leftOfLast == QLatin1String("<throws>") ? std::nullopt
                                                           : std::optional<QString>(leftOfLast)};
        checkSplit(text, delim, want);
        QCOMPARE(text, before); // arguments are never changed
    }

    void nulSeparatedDialogAnswer()
    {
        // Several files: folder, then the names, each after a NUL.
        const QString answer =
            QStringLiteral("C:\\Movies") + NUL + "a.mpg" + NUL + QStringLiteral("b.mpg");
        QCOMPARE(LeftOf(answer, NUL), QStringLiteral("C:\\Movies"));
        QCOMPARE(RightOf(answer, NUL), QStringLiteral("a.mpg") + NUL + QStringLiteral("b.mpg"));
        QCOMPARE(LastInStr(answer, NUL), 16);
        QCOMPARE(RightOfLast(answer, NUL), QStringLiteral("b.mpg"));
        QCOMPARE(LeftOfLast(answer, NUL), QStringLiteral("C:\\Movies") + NUL + "a.mpg");

        // Walking the answer name by name, as the add command does.
        QString rest = RightOf(
            QStringLiteral("/movies") + NUL + "a.mpg" + NUL + "b.mpg" + NUL + "c d.mpg", NUL);
        QStringList names;
        while (LastInStr(rest, NUL) != 0) {
            names << LeftOf(rest, NUL);
            rest = RightOf(rest, NUL);
        }
        names << rest;
        QCOMPARE(names, QStringList({"a.mpg", "b.mpg", "c d.mpg"}));

        // One chosen file: no NUL at all.
        QCOMPARE(LastInStr(QStringLiteral("/movies/a.mpg"), NUL), 0);
    }

    void absentDelimiter()
    {
        for (const QString& text : {QStringLiteral("clip1.mpg"), QString()}) {
            for (const QString& delim : {QStringLiteral("\\"), QStringLiteral("/"), NUL}) {
                checkSplit(text, delim, {0, text, text, text, std::nullopt});
            }
        }
        // The error says what went wrong.
        try {
            LeftOfLast(QStringLiteral("abc"), QStringLiteral("/"));
            QFAIL("LeftOfLast returned for a text without the delimiter");
        } catch (const std::invalid_argument& e) {
            QVERIFY(QByteArray(e.what()).contains("LeftOfLast"));
        }
    }

    void manyDelimiters()
    {
        // The last of many occurrences, and runs of the delimiter.
        QString deep;
        for (int i = 0; i < 500; ++i)
            deep += QStringLiteral("/d") + QString::number(i);
        deep += QStringLiteral("/file.mpg");
        QCOMPARE(LastInStr(deep, "/"), deep.size() - 8);
        QCOMPARE(RightOfLast(deep, "/"), QStringLiteral("file.mpg"));
        QCOMPARE(LeftOfLast(deep, "/") + "/file.mpg", deep);

        QCOMPARE(LastInStr(QStringLiteral("a///"), "/"), 4);
        QCOMPARE(LeftOf(QStringLiteral("a///"), "/"), QStringLiteral("a"));
        QCOMPARE(RightOf(QStringLiteral("a///"), "/"), QStringLiteral("//"));
        QCOMPARE(LeftOfLast(QStringLiteral("a///"), "/"), QStringLiteral("a//"));
    }

    void nonAsciiText()
    {
        // Positions count characters, not bytes.
        const QString p = QStringLiteral("/Filme/Käse/übung.mpg");
        QCOMPARE(LastInStr(p, "/"), 12);
        QCOMPARE(LeftOfLast(p, "/"), QStringLiteral("/Filme/Käse"));
        QCOMPARE(RightOfLast(p, "/"), QStringLiteral("übung.mpg"));
    }
};

QTEST_APPLESS_MAIN(TestStrFunc)
#include "test_strfunc.moc"
