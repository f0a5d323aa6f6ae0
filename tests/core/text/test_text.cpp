// The helpers that take paths and lists of names apart.
#include "core/text/StrFunc.h"
#include "support/CoreSupport.h"

#include <stdexcept>

class TestText : public QObject
{
    Q_OBJECT
private slots:
    // Positions are 1-based (0: absent); NUL separates the names a dialog answers.
    void paths_data()
    {
        // left: null when leftOfLast throws; folder: folderOf(text)
        const TestSupport::Table<QString, QString, int, QString, QString, QString> row(
            {"text", "delim", "last", "left", "right", "folder"});
        const QString nul(QChar(0)), throws;
        row("path", "/movies/clip1.mpg", "/", 8, "/movies", "clip1.mpg", "/movies");
        row("ends in it", "C:\\Movies\\", "\\", 10, "C:\\Movies", "", "");
        row("root", "/", "/", 1, "", "", "/");
        row("in the root", "//tarvik.ini", "/", 2, "/", "tarvik.ini", "/");
        row("no NUL in it", "clip1.mpg", nul, 0, throws, "clip1.mpg", "");
        row("a run", "a///", "/", 4, "a//", "", "a//");
        row("other slash", "C:/Movies/clip.mpg", "\\", 0, throws, "C:/Movies/clip.mpg",
            "C:/Movies");
        row("case counts", "aXbxc", "x", 4, "aXb", "c", "");
        row("umlauts", "/Filme/Käse/übung.mpg", "/", 12, "/Filme/Käse", "übung.mpg", "/Filme/Käse");
        row("NUL list", "/movies" + nul + "a.mpg" + nul + "b.mpg", nul, 14,
            "/movies" + nul + "a.mpg", "b.mpg", "/");
        row("empty", "", "/", 0, throws, "", "");
        row("empty, NUL", "", nul, 0, throws, "", "");
        row("long delim", "ab", "ab", 1, "", "", "");
        row("long, twice", "abab", "ab", 3, "ab", "", "");
        row("no delim", "ab", "", 0, throws, "ab", "");
    }
    void paths()
    {
        QFETCH(QString, text);
        QFETCH(QString, delim);
        QFETCH(QString, left);
        QTEST(StrFunc::lastInStr(text, delim), "last");
        if (left.isNull())
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, StrFunc::leftOfLast(text, delim));
        else
            QCOMPARE(StrFunc::leftOfLast(text, delim), left);
        QTEST(StrFunc::rightOfLast(text, delim), "right");
        QTEST(StrFunc::folderOf(text), "folder");
    }
};

REELBIND_CORE_TEST_MAIN(TestText)
#include "test_text.moc"
