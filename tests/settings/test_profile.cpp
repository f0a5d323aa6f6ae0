#include "settings/Profile.h"
#include "settings/SettingsTestUtil.h"

#include <QtTest>

using Profile::Value;
using namespace SettingsTest;

namespace {

// "|" stands for a line break in the vectors below.
QByteArray L(QByteArray text, const char* eol = "\n")
{
    return text.replace('|', eol);
}

// "<default>": the key is missing.
void readRow(const char* name, const QByteArray& content, const QString& section,
             const QString& key, const QString& expected)
{
    QTest::newRow(name) << content << section << key << expected;
}

// "<none>": no value (delete the key).
void writeRow(const char* name, const QByteArray& before, const QString& section,
              const QString& key, const QString& value, const QByteArray& after)
{
    QTest::newRow(name) << before << section << key << value << after;
}

QString get(const QByteArray& content, int bufSize = 255)
{
    return Profile::getString(content, QStringLiteral("A"), QStringLiteral("k"), {}, bufSize);
}

QString readKey(const QString& path, const QString& def = {})
{
    return Profile::getPrivateString(QStringLiteral("A"), QStringLiteral("k"), def, 255, path);
}

bool write(const QString& path, const Value& value)
{
    return Profile::writePrivateString(QStringLiteral("A"), QStringLiteral("k"), value, path);
}

} // namespace

class TestProfile : public QObject
{
    Q_OBJECT
private slots:
    void readLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        for (const char* c : {"section", "key", "expected"})
            QTest::addColumn<QString>(c);
        const QByteArray basic = "[Preferences]|ChunkSize=60000|";
        readRow("CRLF", L(basic, "\r\n"), "Preferences", "ChunkSize", "60000");
        readRow("CR", L(basic, "\r"), "Preferences", "ChunkSize", "60000");
        readRow("runs of breaks", "\r\n\n[Preferences]\r\r\n\n\rChunkSize=60000", "Preferences",
                "ChunkSize", "60000");
        readRow("names fold case", L(basic), "PREFERENCES", "chunksize", "60000");
        readRow("ASCII folding only", "[\xc3\x84rger]\nk=1\n", "ärger", "k", "<default>");
        readRow("blanks trimmed", L(" \t[ A ] \t|\t k \t=  6 \t|"), "A", "k", "6");
        readRow("name up to the last ]", L("[a]b]|k=1|"), "a]b", "k", "1");
        readRow("[ without ] is no header", L("[A]|[B|k=1|"), "A", "k", "1");
        readRow("first = splits", L("[A]|a = b = c|"), "A", "a", "b = c");
        readRow("no inline comments", L("[A]|a=1 ;x|"), "A", "a", "1 ;x");
        readRow("comment line is no entry", L("[A]|;k=1|k=2|"), "A", "k", "2");
        readRow("before the first header", L("k=0|[A]|x=1|"), "A", "k", "<default>");
        readRow("missing section", L(basic), "Other", "ChunkSize", "<default>");
        readRow("key of another section", L("[A]|a=1|[B]|b=2|"), "A", "b", "<default>");
        readRow("empty value is text", L("[A]|k=|"), "A", "k", "");
        readRow("first section wins", L("[A]|k=1|[a]|k=2|j=3|"), "A", "k", "1");
        readRow("sections not merged", L("[A]|k=1|[a]|j=3|"), "A", "j", "<default>");
        readRow("first key wins", L("[A]|K=1|k=2|"), "A", "k", "1");
        readRow("double quotes", L("[A]|k = \" a \"|"), "A", "k", " a ");
        readRow("single quotes", L("[A]|k='b'|"), "A", "k", "b");
        readRow("only quotes", L("[A]|k=\"\"|"), "A", "k", "");
        readRow("unmatched quote", L("[A]|k=\"abc|"), "A", "k", "\"abc");
        readRow("mixed quotes stay", L("[A]|k=\"abc'|"), "A", "k", "\"abc'");
        readRow("value ends at NUL", QByteArray("[A]\nk=/a\0b\n", 11), "A", "k", "/a");
        readRow("byte order mark", "\xef\xbb\xbf[A]\nk=1\n", "A", "k", "1");
    }

    void readLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(Profile::getString(content, section, key, QStringLiteral("<default>"), 255),
                 expected);
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
        writeRow("new file", "", "Preferences", "ChunkSize", "40000",
                 L("[Preferences]|ChunkSize=40000|"));
        writeRow("new section at the end", L("[A]|k=1|"), "B", "x", "2", L("[A]|k=1|[B]|x=2|"));
        writeRow("line break added first", "[A]\nk=1", "B", "x", "2", L("[A]|k=1|[B]|x=2|"));
        writeRow("replace in place, spelling kept", L(";top|[A]|  chunksize = 60000  |z=1|"), "a",
                 "ChunkSize", "40000", L(";top|[A]|  chunksize = 40000|z=1|"));
        writeRow("same value leaves every byte", L("[A]|  k =  5 \t|"), "A", "K", "5",
                 L("[A]|  k =  5 \t|"));
        writeRow("append after last non-blank line", L("[A]|a=1|||[B]|b=2|"), "A", "c", "3",
                 L("[A]|a=1|c=3|||[B]|b=2|"));
        writeRow("append after a comment", L("[A]|a=1|; note||[B]|"), "A", "c", "3",
                 L("[A]|a=1|; note|c=3||[B]|"));
        writeRow("append to an empty section", L("[A]||[B]|"), "A", "c", "3", L("[A]|c=3||[B]|"));
        writeRow("append without last break", "[A]\na=1", "A", "c", "3", L("[A]|a=1|c=3|"));
        writeRow("empty text", L("[A]|k=1|"), "A", "k", "", L("[A]|k=|"));
        writeRow("= and ; in a value", L("[A]|"), "A", "k", "x=y ;z", L("[A]|k=x=y ;z|"));
        writeRow("UTF-8 value", L("[A]|"), "A", "k", "/Filme/Käse", L("[A]|k=/Filme/Käse|"));
        writeRow("no value deletes", L("[A]|a=1|k=2|b=3|"), "A", "K", "<none>", L("[A]|a=1|b=3|"));
        writeRow("header stays when empty", L("[A]|k=2|[B]|"), "A", "k", "<none>", L("[A]|[B]|"));
        writeRow("deleting nothing", L("[A]|a=1|"), "A", "k", "<none>", L("[A]|a=1|"));
        writeRow("deleting in a missing section", L("[A]|k=1|"), "B", "k", "<none>", L("[A]|k=1|"));
        writeRow("only the first duplicate", L("[A]|k=1|k=1b|[a]|k=2|"), "A", "k", "9",
                 L("[A]|k=9|k=1b|[a]|k=2|"));
        writeRow("CRLF file gets CRLF lines", L("[A]|a=1|", "\r\n"), "B", "b", "2",
                 L("[A]|a=1|[B]|b=2|", "\r\n"));
        writeRow("CRLF after a missing last break", "[A]\r\na=1", "A", "b", "2",
                 L("[A]|a=1|b=2|", "\r\n"));
        writeRow("first break decides", "[A]\na=1\r\n", "A", "b", "2", "[A]\na=1\r\nb=2\n");
        writeRow("CR-only file gets LF", "[A]\ra=1\r", "A", "b", "2", "[A]\ra=1\rb=2\n");
        writeRow("leading blanks dropped", L("[A]|"), "A", "k", "  \t v w ", L("[A]|k=v w |"));
        writeRow("line breaks in a value", L("[A]|k=1|j=2|"), "A", "k", "a\r\nb\nc",
                 L("[A]|k=a  b c|j=2|"));
        const QByteArray others = "; comment \t\r\n\r\nstray line\r\n[Other]  x\r\nz = \"q\"\r\n"
                                  "\r\n[Preferences]\r\n  Unknown=keep  \r\nChunkSize=%1\r\n\t\r\n"
                                  "[Tail]";
        writeRow("other lines byte for byte", QByteArray(others).replace("%1", "1"), "Preferences",
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
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.ini"));
        if (!before.isEmpty())
            writeAll(path, before);
        QVERIFY(Profile::writePrivateString(section, key, v, path));
        QCOMPARE(readAll(path), after);
        if (v && !v->contains('\n') && !v->startsWith(' '))
            QCOMPARE(Profile::getPrivateString(section, key, {}, 255, path), *v);
    }

    void manyWritesEqualSingleWrites()
    {
        const QByteArray start =
            L(";mine|[Preferences]|chunksize=1|SourceDir=/old||[X]|y=1", "\r\n");
        const QList<Profile::Write> writes = {{"SaveSourceDir", QStringLiteral("1")},
                                              {"SourceDir", Value()},
                                              {"ClearQue", QStringLiteral("")},
                                              {"ChunkSize", QStringLiteral("50000")}};
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tarvik.ini"));
        writeAll(path, start);
        for (const Profile::Write& w : writes)
            QVERIFY(Profile::writePrivateString(QStringLiteral("Preferences"), w.first, w.second,
                                                path));
        QCOMPARE(
            readAll(path),
            L(";mine|[Preferences]|chunksize=50000|SaveSourceDir=1|ClearQue=||[X]|y=1", "\r\n"));
        QCOMPARE(Profile::applyWrites(start, QStringLiteral("Preferences"), writes), readAll(path));
    }

    void everyReadSeesTheDisk()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.ini"));
        QVERIFY(write(path, Value())); // deleting from a missing file creates none
        QVERIFY(!QFileInfo::exists(path));
        for (const QByteArray value : {"1", "2"}) {
            writeAll(path, "[A]\nk=" + value + "\n");
            QCOMPARE(readKey(path), QString(value));
        }
    }

    void failedWritesLeaveTheOldFile()
    {
        QTemporaryDir dir;
        QVERIFY(!write(dir.filePath(QStringLiteral("nowhere/t.ini")), QStringLiteral("new")));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("nowhere"))));
        const QString folder = dir.filePath(QStringLiteral("t.ini"));
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(!write(folder, QStringLiteral("new")));
        QVERIFY(!Profile::replaceFile(folder, "[A]\n"));
        QVERIFY(QFileInfo(folder).isDir());
        // A file system that refuses new files, even for root.
        QVERIFY(!write(QStringLiteral("/proc/reelbind-test.ini"), QStringLiteral("new")));
    }

    void hugeFileCountsAsUnreadable()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("huge.ini"));
        const QByteArray content = "[A]\nk=1\n" + QByteArray(Profile::kMaxFileSize, ';');
        writeAll(path, content);
        QVERIFY(!Profile::readFile(path).has_value());
        QCOMPARE(readKey(path, QStringLiteral("d")), QStringLiteral("d"));
        // A single-key write does not replace what it could not read.
        QVERIFY(!write(path, QStringLiteral("2")));
        QCOMPARE(QFileInfo(path).size(), content.size());
        writeAll(path, content.left(Profile::kMaxFileSize));
        QCOMPARE(readKey(path), QStringLiteral("1")); // just within the limit
    }

    void replaceKeepsPermissions()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.ini"));
        writeAll(path, "[A]\nk=1\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(Profile::replaceFile(path, "[A]\nk=2\n"));
        QCOMPARE(readAll(path), QByteArray("[A]\nk=2\n"));
        const QFile::Permissions mask =
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
        QCOMPARE(QFile::permissions(path) & mask, QFile::ReadOwner | QFile::WriteOwner);
    }
};

QTEST_APPLESS_MAIN(TestProfile)
#include "test_profile.moc"
