// The join queue without windows: adding, the estimate, the editing commands and which
// commands are possible; the queue model on its own; taking paths apart.
#include "core/StrFunc.h"
#include "support/CoreSupport.h"

#include <QAbstractItemModelTester>
#include <QtTest>
#include <cerrno>
#include <stdexcept>

using namespace TestSupport;

class TestQueue : public QObject
{
    Q_OBJECT
private slots:
    // Queue steps (queueSteps) > what the queue shows then; {d} the program folder, {h}
    // home, {e} the reason a missing file gives.
    void edit_data()
    {
        QStringList many = {"add c"}, named;
        for (int i = 0; i < 17; ++i)
            many << "-g" + QString::number(i), named << "{d}/g" + QString::number(i) + ": {e}";
        const QString five = "add A B C D E; ", same = "A B C D E | 15.00 MB | 11111";
        const QString above = " | Can't move the selected item above the beginning of the list.";
        const QString four = "add dir10/x=10485760 dir9/Y=9961472 Dir9/y2=1234567890 a/x1=1000000";
        const QString a = "x.y/z/a.b @x.y/z/a.b; folder; remember ";
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        for (const auto& [steps, expected] : std::initializer_list<std::pair<QString, QString>>{
                 // Nothing addable: nothing changes but the message.
                 {"source /usr; add -gone; folder", " | 0.00 MB | 10001 | This file was not added "
                                                    "to the queue:\n\n{d}/gone: {e} | /usr|{d}"},
                 // With RememberSource ticked the last file's folder is remembered; a file twice.
                 {"source /usr; remember 0; add " + a + "2; add " + a + "1; add " + a +
                      "1; joined 1; folders",
                  "a.b a.b a.b a.b a.b | 5.00 MB | 11111 | /usr|{d} | /usr|{d} | "
                  "{d}/x.y/z|{d}/x.y/z | " +
                      QString("{d}/x.y/z/ ").repeated(5).chopped(1)},
                 // So many left out that only the first 15 are named; the others are added.
                 {many.join(' '),
                  "c | 1.00 MB | 11111 | These files were not added to the queue:\n\n" +
                      named.mid(0, 15).join('\n') + "\n... and 2 more."},
                 {"source; folder", " | 0.00 MB | 10001 | {h}|{d}"}, // Add opens at home
                 // The estimate sums the sizes as shown in single precision: not .86, not .85.
                 {"add a=1000000 b=1000000 c=1000000 d=137438953472; sizes",
                  "a b c d | 131074.84 MB | 11111 | 0.95 0.95 0.95 131072.00"},
                 {five + "remove 1 2", "A D E | 10.00 MB | 11111"},
                 {five + "remove 4 0 1 2 3", " | 0.00 MB | 10001"},
                 {five + "clear", " | 0.00 MB | 10001"},
                 {five + "up 1 2 4", "B C A E D | 15.00 MB | 11111"},
                 {five + "down 0 2 3", "B A E C D | 15.00 MB | 11111"},
                 {five + "up 0 2", same + above},
                 {five + "down 2 4",
                  same + " | Can't move the selected item below the end of the list."},
                 // The end of a join brings all five commands back, even for an empty queue.
                 {five + "clear; run; end", " | 0.00 MB | 11111"},
                 // Any move, even a refused or an empty one, ends sorting: new rows go last.
                 {"add B A; up 0; add 0", "A B 0 | 4.00 MB | 11111" + above},
                 {"add B A; down; add 0", "A B 0 | 4.00 MB | 11111"},
                 // Sorting is ascending, numeric-aware and case-blind; new rows take their place.
                 {"locale de_DE; " + four + "; sort 2; sizes",
                  "x1 Y x y2 | 1197,83 MB | 11111 | 0,95 9,50 10,00 1177,38"},
                 {four + "; sort 2; sort 2; names; sort 1; names; sort 0; names; sort 2; add "
                         "e=20971520; names; down 0; add clip10 Clip1",
                  "Y x1 x e y2 clip10 Clip1 | 1220.83 MB | 11111 | x1 Y x y2 | x1 Y y2 x | x x1 Y "
                  "y2 | x1 Y x e y2"}})
            QTest::newRow(qPrintable(steps.left(60))) << steps << expected;
    }
    void edit()
    {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        Core c;
        QCOMPARE(queueSteps(c, steps), expected.replace("{d}", c.programFolder())
                                           .replace("{h}", QDir::homePath())
                                           .replace("{e}", reason(ENOENT)));
    }
    void theRootFolderKeepsItsSlash()
    {
        const auto inRoot = QDir("/").entryInfoList(QDir::Files | QDir::Hidden | QDir::Readable);
        if (inRoot.isEmpty())
            QSKIP("no readable regular file in the root folder");
        Core c;
        QCOMPARE(queueSteps(c, "add @" + inRoot[0].absoluteFilePath() + "; folder; folders")
                     .section(" | ", 3),
                 "/|/ | /");
    }
    void modelKeepsPersistentIndexes()
    {
        const auto rowsNamed = [](const QString& names) {
            QList<QueueRow> out;
            for (const QString& n : names.split(' '))
                out.append(QueueRow{n, "/f/", "1.00"});
            return out;
        };
        QueueModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.append(rowsNamed("a c e g"));
        QPersistentModelIndex a(m.index(0, 1)), c(m.index(1, 2)), g(m.index(3, 0));
        m.append(rowsNamed("f C b 0 d c")); // merged in: equal rows after those there, in order
        QCOMPARE(column(m.rows()), "0 a b c C c d e f g");
        QCOMPARE(QList<int>({c.row(), c.column(), g.row()}), QList<int>({3, 2, 9}));
        m.removePositions({0, 1, 4, 5, 6, 8, 4, 99, -1}); // scattered; repeats and junk ignored
        QCOMPARE(column(m.rows()), "b c e g");
        QCOMPARE(QList<int>({a.row(), c.row(), g.row()}), QList<int>({-1, 1, 3}));
        m.removePositions({1, 2});  // one run
        m.append(rowsNamed("h c")); // the sort keys still match the rows left
        QCOMPARE(column(m.rows()), "b c g h");
        QVERIFY(m.moveUp({2}) && g.row() == 1);
        m.sortByColumn(QueueModel::ColName);
        QCOMPARE(m.data(g).toString(), "g");
        m.removeIds({m.at(2).id});
        QVERIFY(!g.isValid());
    }
    // "text|delimiter|lastInStr|leftOfLast|rightOfLast"; "~" stands for NUL, which separates
    // the names in a dialog's answer.
    void paths_data()
    {
        addRows({"/movies/clip1.mpg|/|8|/movies|clip1.mpg", "C:\\Movies\\|\\|10|C:\\Movies|",
                 "/|/|1||", "//tarvik.ini|/|2|/|tarvik.ini", "a///|/|4|a//|",
                 "C:/Movies/clip.mpg|\\|0|<throws>|C:/Movies/clip.mpg", "aXbxc|x|4|aXb|c",
                 "/Filme/Käse/übung.mpg|/|12|/Filme/Käse|übung.mpg",
                 "/movies~a.mpg~b.mpg|~|14|/movies~a.mpg|b.mpg", "clip1.mpg|~|0|<throws>|clip1.mpg",
                 "|/|0|<throws>|", "|~|0|<throws>|", "ab|ab|1||", "abab|ab|3|ab|",
                 "ab||0|<throws>|ab"});
    }
    void paths()
    {
        QFETCH(QString, row);
        row.replace(u'~', QChar(0));
        const QString text = row.section(u'|', 0, 0), delim = row.section(u'|', 1, 1);
        QString left = "<throws>";
        try {
            left = StrFunc::leftOfLast(text, delim);
        } catch (const std::invalid_argument&) {
        }
        QCOMPARE(QStringList({text, delim, QString::number(StrFunc::lastInStr(text, delim)), left,
                              StrFunc::rightOfLast(text, delim)})
                     .join(u'|'),
                 row);
    }
};

QTEST_GUILESS_MAIN(TestQueue)
#include "test_queue.moc"
