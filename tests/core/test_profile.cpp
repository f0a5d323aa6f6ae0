#include "core/Profile.h"
#include "support/TestSupport.h"

#include <QtTest>
#include <memory>

using Profile::Value;
using TestSupport::readAll;

namespace {

// "|" stands for a line break in the vectors below.
QByteArray L(QByteArray text, const char* eol = "\n")
{
    return text.replace('|', eol);
}

const QString A = QStringLiteral("A"), K = QStringLiteral("k"), P = QStringLiteral("Preferences");

} // namespace

class TestProfile : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    QString path; // t.ini in a fresh folder for each test

    // Key k of section A.
    QString get(const QByteArray& c, int n = 255) { return Profile::getString(c, A, K, {}, n); }
    QString read(QString def = {}) { return Profile::getPrivateString(A, K, def, 255, path); }
    bool write(QString at, Value v) { return Profile::writePrivateString(A, K, v, at); }
    bool writeAll(const QByteArray& data)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        path = dir->filePath(QStringLiteral("t.ini"));
    }

    void readLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        for (const char* c : {"section", "key", "expected"})
            QTest::addColumn<QString>(c);
        // "<default>": the key is missing.
        auto row = [](const char* name, const QByteArray& content, const char* section,
                      const char* key, const QString& expected) {
            QTest::newRow(name) << content << QString(section) << QString(key) << expected;
        };
        const QByteArray basic = "[Preferences]|ChunkSize=60000|";
        row("CRLF", L(basic, "\r\n"), "Preferences", "ChunkSize", "60000");
        row("runs of breaks", "\r\n\n[Preferences]\r\r\n\n\rChunkSize=60000", "Preferences",
            "ChunkSize", "60000");
        row("names fold case", L(basic), "PREFERENCES", "chunksize", "60000");
        row("ASCII folding only", "[\xc3\x84rger]\nk=1\n", "ärger", "k", "<default>");
        row("blanks trimmed", L(" \t[ A ] \t|\t k \t=  6 \t|"), "A", "k", "6");
        row("name up to the last ]", L("[a]b]|k=1|"), "a]b", "k", "1");
        row("[ without ] is no header", L("[A]|[B|k=1|"), "A", "k", "1");
        row("first = splits", L("[A]|a = b = c|"), "A", "a", "b = c");
        row("no inline comments", L("[A]|a=1 ;x|"), "A", "a", "1 ;x");
        row("comment line is no entry", L("[A]|;k=1|k=2|"), "A", "k", "2");
        row("before the first header", L("k=0|[A]|x=1|"), "A", "k", "<default>");
        row("missing section", L(basic), "Other", "ChunkSize", "<default>");
        row("key of another section", L("[A]|a=1|[B]|b=2|"), "A", "b", "<default>");
        row("empty value is text", L("[A]|k=|"), "A", "k", "");
        row("first section wins", L("[A]|k=1|[a]|k=2|j=3|"), "A", "k", "1");
        row("sections not merged", L("[A]|k=1|[a]|j=3|"), "A", "j", "<default>");
        row("first key wins", L("[A]|K=1|k=2|"), "A", "k", "1");
        row("double quotes", L("[A]|k = \" a \"|"), "A", "k", " a ");
        row("single quotes", L("[A]|k='b'|"), "A", "k", "b");
        row("only quotes", L("[A]|k=\"\"|"), "A", "k", "");
        row("unmatched quote", L("[A]|k=\"abc|"), "A", "k", "\"abc");
        row("mixed quotes stay", L("[A]|k=\"abc'|"), "A", "k", "\"abc'");
        row("value ends at NUL", QByteArray("[A]\nk=/a\0b\n", 11), "A", "k", "/a");
        row("byte order mark", "\xef\xbb\xbf[A]\nk=1\n", "A", "k", "1");
    }

    void readLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QTEST(Profile::getString(content, section, key, QStringLiteral("<default>"), 255),
              "expected");
    }

    void cutToBuffer()
    {
        const QByteArray value = "/" + QByteArray(299, 'd');
        QCOMPARE(get("[A]\nk=" + value + "\n"), QString::fromLatin1(value.left(254)));
        QCOMPARE(get("[A]\nk=" + value.left(255) + "\n").size(), 254);
        // Counted after the quotes went.
        QCOMPARE(get("[A]\nk=\"" + value.left(254) + "\"\n"), QString::fromLatin1(value.left(254)));
        QCOMPARE(get("[A]\nk=abcdef\n", 4), QStringLiteral("abc"));
        QCOMPARE(get("[A]\nk=abcdef\n", 1), QString());
        // Characters, not bytes.
        QCOMPARE(get("[A]\nk=" + QByteArray("\xc3\xa4").repeated(300) + "\n"),
                 QString(254, QChar(0xe4)));
    }

    void writeVectors_data()
    {
        QTest::addColumn<QByteArray>("before");
        for (const char* c : {"section", "key", "value"})
            QTest::addColumn<QString>(c);
        QTest::addColumn<QByteArray>("after");
        // "<none>": no value (delete the key).
        auto row = [](const char* name, const QByteArray& before, const char* section,
                      const char* key, const QString& value, const QByteArray& after) {
            QTest::newRow(name) << before << QString(section) << QString(key) << value << after;
        };
        row("new file", "", "Preferences", "ChunkSize", "40000",
            L("[Preferences]|ChunkSize=40000|"));
        row("new section at the end", L("[A]|k=1|"), "B", "x", "2", L("[A]|k=1|[B]|x=2|"));
        row("line break added first", "[A]\nk=1", "B", "x", "2", L("[A]|k=1|[B]|x=2|"));
        row("replace in place, spelling kept", L(";top|[A]|  chunksize = 60000  |z=1|"), "a",
            "ChunkSize", "40000", L(";top|[A]|  chunksize = 40000|z=1|"));
        row("same value leaves every byte", L("[A]|  k =  5 \t|"), "A", "K", "5",
            L("[A]|  k =  5 \t|"));
        row("append after last non-blank line", L("[A]|a=1|||[B]|b=2|"), "A", "c", "3",
            L("[A]|a=1|c=3|||[B]|b=2|"));
        row("append after a comment", L("[A]|a=1|; note||[B]|"), "A", "c", "3",
            L("[A]|a=1|; note|c=3||[B]|"));
        row("append to an empty section", L("[A]||[B]|"), "A", "c", "3", L("[A]|c=3||[B]|"));
        row("append without last break", "[A]\na=1", "A", "c", "3", L("[A]|a=1|c=3|"));
        row("empty text", L("[A]|k=1|"), "A", "k", "", L("[A]|k=|"));
        row("= and ; in a value", L("[A]|"), "A", "k", "x=y ;z", L("[A]|k=x=y ;z|"));
        row("UTF-8 value", L("[A]|"), "A", "k", "/Filme/Käse", L("[A]|k=/Filme/Käse|"));
        row("no value deletes", L("[A]|a=1|k=2|b=3|"), "A", "K", "<none>", L("[A]|a=1|b=3|"));
        row("header stays when empty", L("[A]|k=2|[B]|"), "A", "k", "<none>", L("[A]|[B]|"));
        row("deleting nothing", L("[A]|a=1|"), "A", "k", "<none>", L("[A]|a=1|"));
        row("deleting in a missing section", L("[A]|k=1|"), "B", "k", "<none>", L("[A]|k=1|"));
        row("only the first duplicate", L("[A]|k=1|k=1b|[a]|k=2|"), "A", "k", "9",
            L("[A]|k=9|k=1b|[a]|k=2|"));
        row("CRLF file gets CRLF lines", L("[A]|a=1|", "\r\n"), "B", "b", "2",
            L("[A]|a=1|[B]|b=2|", "\r\n"));
        row("CRLF after a missing last break", "[A]\r\na=1", "A", "b", "2",
            L("[A]|a=1|b=2|", "\r\n"));
        row("first break decides", "[A]\na=1\r\n", "A", "b", "2", "[A]\na=1\r\nb=2\n");
        row("CR-only file gets LF", "[A]\ra=1\r", "A", "b", "2", "[A]\ra=1\rb=2\n");
        row("leading blanks dropped", L("[A]|"), "A", "k", "  \t v w ", L("[A]|k=v w |"));
        row("line breaks in a value", L("[A]|k=1|j=2|"), "A", "k", "a\r\nb\nc",
            L("[A]|k=a  b c|j=2|"));
        const QByteArray others = "; comment \t\r\n\r\nstray line\r\n[Other]  x\r\nz = \"q\"\r\n"
                                  "\r\n[Preferences]\r\n  Unknown=keep  \r\nChunkSize=%1\r\n\t\r\n"
                                  "[Tail]";
        row("other lines byte for byte", QByteArray(others).replace("%1", "1"), "Preferences",
            "ChunkSize", "40000", QByteArray(others).replace("%1", "40000"));
    }

    void writeVectors()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        const Value v = value == QLatin1String("<none>") ? Value() : Value(value);
        QCOMPARE(Profile::applyWrite(before, section, key, v), after);

        // The same through a file on disk, which is read back unchanged.
        QVERIFY(before.isEmpty() || writeAll(before));
        QVERIFY(Profile::writePrivateString(section, key, v, path));
        QCOMPARE(readAll(path), after);
        if (v && !v->contains('\n') && !v->startsWith(' '))
            QCOMPARE(Profile::getPrivateString(section, key, {}, 255, path), *v);
    }

    void manyWritesEqualSingleWrites()
    {
        const QByteArray start =
            L(";mine|[Preferences]|chunksize=1|SourceDir=/old||[X]|y=1", "\r\n");
        const QList<Profile::Write> writes{{"SaveSourceDir", "1"},
                                           {"SourceDir", Value()},
                                           {"ClearQue", ""},
                                           {"ChunkSize", "50000"}};
        QVERIFY(writeAll(start));
        for (const Profile::Write& w : writes)
            QVERIFY(Profile::writePrivateString(P, w.first, w.second, path));
        const QByteArray after =
            ";mine|[Preferences]|chunksize=50000|SaveSourceDir=1|ClearQue=||[X]|y=1";
        QCOMPARE(readAll(path), L(after, "\r\n"));
        QCOMPARE(Profile::applyWrites(start, P, writes), readAll(path));
    }

    void failedWritesLeaveTheOldFile()
    {
        QVERIFY(!write(dir->filePath(QStringLiteral("nowhere/t.ini")), QStringLiteral("new")));
        QVERIFY(!QFileInfo::exists(dir->filePath(QStringLiteral("nowhere"))));
        QVERIFY(QDir().mkdir(path));
        QVERIFY(!write(path, QStringLiteral("new")));
        QString why;
        QVERIFY(!Profile::replaceFile(path, "[A]\n", &why));
        QVERIFY(!why.isEmpty());
        QVERIFY(QFileInfo(path).isDir());
        // A file system that refuses new files, even for root.
        QVERIFY(!write(QStringLiteral("/proc/reelbind-test.ini"), QStringLiteral("new")));
    }

    void readsSeeTheDisk()
    {
        QVERIFY(write(path, Value())); // deleting from a missing file creates none
        QVERIFY(!QFileInfo::exists(path));
        for (const QByteArray value : {"1", "2"}) {
            QVERIFY(writeAll("[A]\nk=" + value + "\n"));
            QCOMPARE(read(), QString(value));
        }
        // A file over the limit reads as missing, and a write does not replace it.
        const QByteArray content = "[A]\nk=1\n" + QByteArray(Profile::kMaxFileSize, ';');
        QVERIFY(writeAll(content));
        QVERIFY(!Profile::readFile(path).has_value());
        QCOMPARE(read(QStringLiteral("d")), QStringLiteral("d"));
        QVERIFY(!write(path, QStringLiteral("2")));
        QCOMPARE(QFileInfo(path).size(), content.size());
        QVERIFY(writeAll(content.left(Profile::kMaxFileSize)));
        QCOMPARE(read(), QStringLiteral("1")); // just within the limit
    }

    void replaceKeepsPermissions()
    {
        QVERIFY(writeAll("[A]\nk=1\n"));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(Profile::replaceFile(path, "[A]\nk=2\n"));
        QCOMPARE(readAll(path), QByteArray("[A]\nk=2\n"));
        QCOMPARE(QFileInfo(path).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
    }
};

QTEST_APPLESS_MAIN(TestProfile)
#include "test_profile.moc"
