// The helpers that take paths and lists of names apart.
#include "core/text/StrFunc.h"
#include "support/CoreSupport.h"
#include <stdexcept>
using namespace StrFunc;
using namespace TestSupport;
class TestText : public QObject
{
    Q_OBJECT
private slots:
    // Positions are 1-based (0: absent); NUL separates a dialog's names. left null: it throws.
    void paths_data()
    {
        const Table<QString, QString, int, QString, QString, QString> row(
            {"text", "delim", "last", "left", "right", "folder"});
        const QString nul(QChar(0)), throws;
        row("in the root", "/tarvik.ini", "/", 1, "", "tarvik.ini", "/");
        row("other slash", "C:/Movies/a.mpg", "\\", 0, throws, "C:/Movies/a.mpg", "C:/Movies");
        row("case counts", "aXbxc", "x", 4, "aXb", "c", "");
        row("NUL list", "/m" + nul + "a" + nul + "b.mpg", nul, 5, "/m" + nul + "a", "b.mpg", "/");
        row("long delim", "abab", "ab", 3, "ab", "", "");
        row("no delim", "ab", "", 0, throws, "ab", "");
    }
    void paths()
    {
        const QString text = fetch<QString>("text"), delim = fetch<QString>("delim"),
                      left = fetch<QString>("left");
        if (left.isNull())
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, leftOfLast(text, delim));
        else
            QCOMPARE(leftOfLast(text, delim), left);
        QCOMPARE(joined(lastInStr(text, delim), rightOfLast(text, delim), folderOf(text)),
                 joined(fetch<int>("last"), fetch<QString>("right"), fetch<QString>("folder")));
    }
};
REELBIND_CORE_TEST_MAIN(TestText)
#include "test_text.moc"
