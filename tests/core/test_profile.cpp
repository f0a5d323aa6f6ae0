#include "core/Profile.h"
#include "support/TestSupport.h"

#include <QRandomGenerator>
#include <QtTest>
#include <sys/stat.h>

using Profile::Value;
using TestSupport::readAll;

namespace {

// "|" stands for a line break.
QByteArray L(QByteArray text, const char* eol = "\n")
{
    return text.replace('|', eol);
}

bool writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

} // namespace

class TestProfile : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.ini"));

private slots:
    void init() { QFile::remove(path); }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected"); // of key k; "<default>": not found
        QTest::addColumn<QString>("section");
        QTest::addColumn<int>("bufSize");
        auto row = [](const char* name, const QByteArray& content, const QString& expected,
                      const char* section = "A", int bufSize = 255) {
            QTest::newRow(name) << content << expected << QString::fromUtf8(section) << bufSize;
        };
        row("runs of breaks, CR alone", "\r\n\n[A]\r\r\n\n\rj=1\rk=6", "6");
        row("names fold case", L("[a]|K=6|"), "6");
        row("ASCII folding only", "[\xc3\x84rger]\nk=1\n", "<default>", "ärger");
        row("blanks trimmed", L(" \t[ A ] \t|\t k \t=  6 \t|"), "6");
        row("name up to the last ]", L("[A]b]|k=1|"), "1", "A]b");
        row("[ without ] is no header", L("[A]|[B|k=1|"), "1");
        row("first = splits", L("[A]|k = b = c|"), "b = c");
        row("no inline comments", L("[A]|k=1 ;x|"), "1 ;x");
        row("comment line is no entry", L("[A]|;k=1|k=2|"), "2");
        row("before the first header", L("k=0|[A]|x=1|"), "<default>");
        row("missing section", L("[B]|k=1|"), "<default>");
        row("key of another section", L("[A]|a=1|[B]|k=2|"), "<default>");
        row("empty value is text", L("[A]|k=|"), "");
        row("first section wins", L("[A]|k=1|[a]|k=2|"), "1");
        row("sections not merged", L("[A]|j=1|[a]|k=3|"), "<default>");
        row("first key wins", L("[A]|K=1|k=2|"), "1");
        row("double quotes", L("[A]|k = \" a \"|"), " a ");
        row("single quotes", L("[A]|k='b'|"), "b");
        row("only quotes", L("[A]|k=\"\"|"), "");
        row("unmatched quote", L("[A]|k=\"abc|"), "\"abc");
        row("mixed quotes stay", L("[A]|k=\"abc'|"), "\"abc'");
        row("value ends at NUL", QByteArray("[A]\nk=/a\0b\n", 11), "/a");
        row("byte order mark", "\xef\xbb\xbf[A]\nk=1\n", "1");
        row("cut to the buffer", L("[A]|k=abcdef|"), "abc", "A", 4);
        row("cut after the quotes go", "[A]\nk=\"" + QByteArray(254, 'd') + "\"\n",
            QString(254, u'd'));
        row("cut in characters", "[A]\nk=" + QByteArray("\xc3\xa4").repeated(300) + "\n",
            QString(254, QChar(0xe4)));
    }

    void reads()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(int, bufSize);
        QTEST(Profile::getString(content, section, "k", "<default>", bufSize), "expected");
    }

    void writes_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("value"); // of key k in A; "<none>": no value (delete the key)
        auto row = [](const char* name, const QByteArray& before, const QByteArray& after,
                      const QString& value) { QTest::newRow(name) << before << after << value; };
        row("new file", "", L("[A]|k=v|"), "v");
        row("new section at the end", L("[B]|k=1|"), L("[B]|k=1|[A]|k=v|"), "v");
        row("line break added first", "[B]\nk=1", L("[B]|k=1|[A]|k=v|"), "v");
        row("same value leaves every byte", L("[A]|  K =  v \t|"), L("[A]|  K =  v \t|"), "v");
        row("append after the last non-blank", L("[A]|;n|||[B]|"), L("[A]|;n|k=v|||[B]|"), "v");
        row("append to an empty section", L("[A]||[B]|"), L("[A]|k=v||[B]|"), "v");
        row("append without last break", "[A]\na=1", L("[A]|a=1|k=v|"), "v");
        row("empty text", L("[A]|k=1|"), L("[A]|k=|"), "");
        row("UTF-8, = and ;", L("[A]|"), L("[A]|k=/Käse=y ;z|"), "/Käse=y ;z");
        row("leading blanks dropped", L("[A]|"), L("[A]|k=v w |"), "  \t v w ");
        row("line breaks in a value", L("[A]|k=1|j=2|"), L("[A]|k=a  b c|j=2|"), "a\r\nb\nc");
        row("first duplicate only", L("[A]|k=1|k=2|[a]|k=3|"), L("[A]|k=v|k=2|[a]|k=3|"), "v");
        row("no value deletes", L("[A]|a=1|K=2|b=3|"), L("[A]|a=1|b=3|"), "<none>");
        row("header stays when empty", L("[A]|k=2|[B]|"), L("[A]|[B]|"), "<none>");
        row("deleting nothing", L("[A]|a=1|"), L("[A]|a=1|"), "<none>");
        row("deleting in a missing section", L("[B]|k=1|"), L("[B]|k=1|"), "<none>");
        row("CRLF after a missing last break", "[A]\r\na=1", L("[A]|a=1|k=v|", "\r\n"), "v");
        row("first break decides", "[A]\na=1\r\n", "[A]\na=1\r\nk=v\n", "v");
        row("CR-only file gets LF", "[A]\ra=1\r", "[A]\ra=1\rk=v\n", "v");
        const QByteArray others = "; comment \t\r\n\r\nstray line\r\n[Other]  x\r\nk = \"q\"\r\n"
                                  "\r\n[a]\r\n  Unknown=keep  \r\n  K = %1\r\n\t\r\n[Tail]";
        row("in place, every other byte kept", QByteArray(others).replace("%1", "1 \t"),
            QByteArray(others).replace("%1", "v"), "v");
    }

    void writes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(QString, value);
        const Value v = value == QLatin1String("<none>") ? Value() : Value(value);
        QCOMPARE(Profile::applyWrite(before, "A", "k", v), after);
    }

    void filesOnDisk()
    {
        const QByteArray content = "[A]\nk=1\n" + QByteArray(Profile::kMaxFileSize, ';');
        QVERIFY(writeAll(path, content.left(Profile::kMaxFileSize)));
        QCOMPARE(Profile::getPrivateString("A", "k", "d", 255, path), "1"); // just within
        // Read afresh each time; a file over the limit reads as missing.
        QVERIFY(writeAll(path, content));
        QCOMPARE(Profile::getPrivateString("A", "k", "d", 255, path), "d");
        QVERIFY(!Profile::readFile(path));
        // Replacing keeps the file's permissions.
        QVERIFY(writeAll(path, "[A]\nk=1\n"));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(Profile::replaceFile(path, "[A]\nk=2\n"));
        QCOMPARE(readAll(path), QByteArray("[A]\nk=2\n"));
        QCOMPARE(QFileInfo(path).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
        // A pipe of that name is never waited for.
        QVERIFY(QFile::remove(path) && ::mkfifo(QFile::encodeName(path), 0600) == 0);
        QVERIFY(!Profile::readFile(path));
    }

    // Thousands of generated files: reading takes any bytes, a write reads back as written,
    // writing it again changes nothing, and every other key reads as before.
    void randomFilesAndWrites()
    {
        QRandomGenerator rng(20261207);
        const QList<QByteArray> pieces = {"[",  "]",    "=",   ";",  " ",    "\t",    "\r",
                                          "\n", "\r\n", "\"",  "'",  "A",    "a",     "B",
                                          "k",  "K",    "x",   "v",  "[A]",  "[a]\n", "[B]",
                                          "k=", "K = ", "x=1", "\0", "\xff", "\xc3"};
        const QStringList names = {"A", "a", "B", "k", "K", "x", "[", ""};
        const auto pick = [&](const auto& list) { return list.at(rng.bounded(int(list.size()))); };
        for (int round = 0; round < 3000; ++round) {
            QByteArray before;
            for (int n = rng.bounded(40); n > 0; --n)
                before += pick(pieces);
            QString value; // what a value can hold whole: no edge blanks, quotes or breaks
            for (int n = rng.bounded(1, 20); n > 0; --n)
                value += QChar(u"ab9 .=;[]ä"[rng.bounded(10)]);
            value = value.trimmed().isEmpty() ? "v" : value.trimmed();
            const QString section = pick(names), key = pick(names).isEmpty() ? "k" : pick(names);
            const QByteArray after = Profile::applyWrite(before, section, key, value);
            const QByteArray why = "round " + QByteArray::number(round) + ": " + before.toHex();
            if (key.contains('[') || key.contains('=') || section.contains(']'))
                continue; // names the format cannot hold
            QVERIFY2(Profile::getString(after, section, key, "<none>") == value, why);
            QVERIFY2(Profile::applyWrite(after, section, key, value) == after, why);
            for (const QString& s : names)
                for (const QString& k : names)
                    if (s.compare(section, Qt::CaseInsensitive) != 0 ||
                        k.compare(key, Qt::CaseInsensitive) != 0)
                        QVERIFY2(Profile::getString(before, s, k, "<none>") ==
                                     Profile::getString(after, s, k, "<none>"),
                                 why + " " + s.toUtf8() + "/" + k.toUtf8());
        }
    }
};

QTEST_APPLESS_MAIN(TestProfile)
#include "test_profile.moc"
