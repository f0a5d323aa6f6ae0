#include "core/StrFunc.h"

#include <QtTest>
#include <stdexcept>

using namespace StrFunc;

class TestStrFunc : public QObject
{
    Q_OBJECT
private slots:
    void splits_data()
    {
        // text|delimiter|LastInStr|LeftOf|RightOf|LeftOfLast|RightOfLast; "~" stands for NUL,
        // which separates the names in a dialog's answer.
        QTest::addColumn<QString>("row");
        for (const char* row : {
                 "/movies/clip1.mpg|/|8||movies/clip1.mpg|/movies|clip1.mpg",
                 "C:\\Movies\\|\\|10|C:|Movies\\|C:\\Movies|",
                 "/|/|1||||",
                 "//tarvik.ini|/|2||/tarvik.ini|/|tarvik.ini",
                 "a///|/|4|a|//|a//|",
                 "C:/Movies/clip.mpg|\\|0|C:/Movies/clip.mpg|C:/Movies/clip.mpg|<throws>|"
                 "C:/Movies/clip.mpg",
                 "aXbxc|x|4|aXb|c|aXb|c",
                 "/Filme/Käse/übung.mpg|/|12||Filme/Käse/übung.mpg|/Filme/Käse|übung.mpg",
                 "/movies~a.mpg~b.mpg|~|14|/movies|a.mpg~b.mpg|/movies~a.mpg|b.mpg",
                 "clip1.mpg|~|0|clip1.mpg|clip1.mpg|<throws>|clip1.mpg",
                 "|/|0|||<throws>|",
                 "|~|0|||<throws>|",
             })
            QTest::newRow(row) << QString::fromUtf8(row).replace(u'~', QChar(0));
    }

    void splits()
    {
        QFETCH(QString, row);
        const QString text = row.section(u'|', 0, 0), delim = row.section(u'|', 1, 1);
        QString leftOfLast = QStringLiteral("<throws>");
        try {
            leftOfLast = LeftOfLast(text, delim);
        } catch (const std::invalid_argument&) {
        }
        QCOMPARE(
            QStringList({text, delim, QString::number(LastInStr(text, delim)), LeftOf(text, delim),
                         RightOf(text, delim), leftOfLast, RightOfLast(text, delim)})
                .join(u'|'),
            row);
    }
};

QTEST_APPLESS_MAIN(TestStrFunc)
#include "test_strfunc.moc"
