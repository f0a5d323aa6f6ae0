#include "core/StrFunc.h"

#include <QtTest>
#include <stdexcept>

using namespace StrFunc;

namespace {
const QString NUL(QChar(0));

// "<throws>" as leftOfLast: LeftOfLast must fail.
void row(const QByteArray& name, const QString& text, const QString& delim, int lastIn,
         const QString& leftOf, const QString& rightOf, const QString& leftOfLast,
         const QString& rightOfLast)
{
    QTest::newRow(name.constData())
        << text << delim << lastIn << leftOf << rightOf << leftOfLast << rightOfLast;
}
} // namespace

class TestStrFunc : public QObject
{
    Q_OBJECT
private slots:
    void splits_data()
    {
        for (const char* c : {"text", "delim"})
            QTest::addColumn<QString>(c);
        QTest::addColumn<int>("lastIn");
        for (const char* c : {"leftOf", "rightOf", "leftOfLast", "rightOfLast"})
            QTest::addColumn<QString>(c);

        row("backslash file", "C:\\Movies\\clip1.mpg", "\\", 10, "C:", "Movies\\clip1.mpg",
            "C:\\Movies", "clip1.mpg");
        row("slash file", "/movies/clip1.mpg", "/", 8, "", "movies/clip1.mpg", "/movies",
            "clip1.mpg");
        row("backslash root file", "C:\\clip1.mpg", "\\", 3, "C:", "clip1.mpg", "C:", "clip1.mpg");
        row("slash root file", "/clip1.mpg", "/", 1, "", "clip1.mpg", "", "clip1.mpg");
        row("backslash folder", "C:\\Movies\\", "\\", 10, "C:", "Movies\\", "C:\\Movies", "");
        row("slash folder", "/movies/", "/", 8, "", "movies/", "/movies", "");
        row("backslash drive root", "C:\\", "\\", 3, "C:", "", "C:", "");
        row("slash root", "/", "/", 1, "", "", "", "");
        row("doubled root", "//tarvik.ini", "/", 2, "", "/tarvik.ini", "/", "tarvik.ini");
        row("run of delimiters", "a///", "/", 4, "a", "//", "a//", "");
        row("other separator is text", "C:/Movies/clip.mpg", "\\", 0, "C:/Movies/clip.mpg",
            "C:/Movies/clip.mpg", "<throws>", "C:/Movies/clip.mpg");
        row("case exact", "aXbxc", "x", 4, "aXb", "c", "aXb", "c");
        row("characters, not bytes", "/Filme/Käse/übung.mpg", "/", 12, "", "Filme/Käse/übung.mpg",
            "/Filme/Käse", "übung.mpg");
        const QString answer = "/movies" + NUL + "a.mpg" + NUL + "b.mpg";
        row("NUL-separated dialog answer", answer, NUL, 14, "/movies", "a.mpg" + NUL + "b.mpg",
            "/movies" + NUL + "a.mpg", "b.mpg");
        for (const QString& delim : {QStringLiteral("\\"), QStringLiteral("/"), NUL}) {
            const QByteArray d = delim == NUL ? "NUL" : delim.toLatin1();
            row("absent " + d, "clip1.mpg", delim, 0, "clip1.mpg", "clip1.mpg", "<throws>",
                "clip1.mpg");
            row("empty text " + d, "", delim, 0, "", "", "<throws>", "");
        }
    }

    void splits()
    {
        QFETCH(QString, text);
        QFETCH(QString, delim);
        QFETCH(QString, leftOfLast);
        const QString before = text;
        QTEST(LastInStr(text, delim), "lastIn");
        QTEST(LeftOf(text, delim), "leftOf");
        QTEST(RightOf(text, delim), "rightOf");
        QTEST(RightOfLast(text, delim), "rightOfLast");
        if (leftOfLast == QLatin1String("<throws>"))
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, LeftOfLast(text, delim));
        else
            QCOMPARE(LeftOfLast(text, delim), leftOfLast);
        QCOMPARE(text, before);
    }
};

QTEST_APPLESS_MAIN(TestStrFunc)
#include "test_strfunc.moc"
