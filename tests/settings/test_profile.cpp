#include "settings/Profile.h"

#include <QtTest>
#include <csignal>
#include <sys/resource.h>

using Profile::Value;

namespace {

// "|" stands for a line break in the vectors below.
QByteArray L(QByteArray text, const char* eol = "\n")
{
    return text.replace('|', eol);
}

QString get(const QByteArray& content, const char* section, const char* key)
{
    return Profile::getString(content, QLatin1String(section), QLatin1String(key), QString(), 255);
}

QByteArray put(const QByteArray& content, const char* section, const char* key, Value value)
{
    return Profile::applyWrite(content, QLatin1String(section), QLatin1String(key), value);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(data), data.size());
}

// Limits the size of files this process may write, as a full disk would.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = m_old;
        lim.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &lim) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

} // namespace

class TestProfile : public QObject
{
    Q_OBJECT
private slots:
    void readLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QByteArray basic = "[Preferences]|ChunkSize=60000|";
        QTest::newRow("LF") << L(basic) << "Preferences"
                            << "ChunkSize"
                            << "60000";
        QTest::newRow("CRLF") << L(basic, "\r\n") << "Preferences"
                              << "ChunkSize"
                              << "60000";
        QTest::newRow("CR") << L(basic, "\r") << "Preferences"
                            << "ChunkSize"
                            << "60000";
        QTest::newRow("runs of breaks")
            << QByteArray("\r\n\n[Preferences]\r\r\n\n\rChunkSize=60000") << "Preferences"
            << "ChunkSize"
            << "60000";
        QTest::newRow("names fold case") << L(basic) << "PREFERENCES"
                                         << "chunksize"
                                         << "60000";
        QTest::newRow("spaces and tabs trimmed")
            << L(" \t[ Preferences ] \t|\t ChunkSize \t=  60000 \t|") << "Preferences"
            << "ChunkSize"
            << "60000";
        QTest::newRow("text after ] ignored")
            << L("[Preferences] ; the one section|ChunkSize=1|") << "Preferences"
            << "ChunkSize"
            << "1";
        QTest::newRow("name up to the last ]") << L("[a]b]|k=1|") << "a]b"
                                               << "k"
                                               << "1";
        QTest::newRow("[ without ] is no header") << L("[A]|[B|k=1|") << "A"
                                                  << "k"
                                                  << "1";
        QTest::newRow("first = splits") << L("[A]|a = b = c|") << "A"
                                        << "a"
                                        << "b = c";
        QTest::newRow("no inline comments") << L("[A]|a=1 ;x|") << "A"
                                            << "a"
                                            << "1 ;x";
        QTest::newRow("comment line is no entry") << L("[A]|;k=1|k=2|") << "A"
                                                  << "k"
                                                  << "2";
        QTest::newRow("before the first header") << L("k=0|[A]|x=1|") << "A"
                                                 << "k"
                                                 << "<default>";
        QTest::newRow("missing section") << L(basic) << "Other"
                                         << "ChunkSize"
                                         << "<default>";
        QTest::newRow("missing key") << L(basic) << "Preferences"
                                     << "SourceDir"
                                     << "<default>";
        QTest::newRow("key of another section") << L("[A]|a=1|[B]|b=2|") << "A"
                                                << "b"
                                                << "<default>";
        QTest::newRow("empty value is text") << L("[A]|k=|") << "A"
                                             << "k"
                                             << "";
        QTest::newRow("first section wins") << L("[A]|k=1|[a]|k=2|j=3|") << "A"
                                            << "k"
                                            << "1";
        QTest::newRow("duplicate section not merged") << L("[A]|k=1|[a]|j=3|") << "A"
                                                      << "j"
                                                      << "<default>";
        QTest::newRow("first key wins") << L("[A]|K=1|k=2|") << "A"
                                        << "k"
                                        << "1";
        QTest::newRow("double quotes") << L("[A]|k = \" a \"|") << "A"
                                       << "k"
                                       << " a ";
        QTest::newRow("single quotes") << L("[A]|k='b'|") << "A"
                                       << "k"
                                       << "b";
        QTest::newRow("only quotes") << L("[A]|k=\"\"|") << "A"
                                     << "k"
                                     << "";
        QTest::newRow("unmatched quote") << L("[A]|k=\"abc|") << "A"
                                         << "k"
                                         << "\"abc";
        QTest::newRow("mixed quotes stay") << L("[A]|k=\"abc'|") << "A"
                                           << "k"
                                           << "\"abc'";
        QTest::newRow("one quote stays") << L("[A]|k=\"|") << "A"
                                         << "k"
                                         << "\"";
        QTest::newRow("ASCII folding only")
            << QByteArray("[\xc3\x84rger]\nk=1\n") << QString::fromUtf8("\xc3\xa4rger") << "k"
            << "<default>";
        QTest::newRow("UTF-8 value") << QByteArray("[A]\nk=/Filme/K\xc3\xa4se\n") << "A"
                                     << "k" << QString::fromUtf8("/Filme/K\xc3\xa4se");
        QTest::newRow("value ends at NUL") << QByteArray("[A]\nk=/a\0b\n", 11) << "A"
                                           << "k"
                                           << "/a";
        QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbf[A]\nk=1\n") << "A"
                                         << "k"
                                         << "1";
    }

    void readLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        // The default tells a missing key from an empty one.
        QCOMPARE(Profile::getString(content, section, key, QStringLiteral("<default>"), 255),
                 expected);
        if (expected == QLatin1String("<default>"))
            QVERIFY(Profile::getString(content, section, key, QString(), 255).isEmpty());
    }

    void cutToBuffer()
    {
        const QByteArray value = "/" + QByteArray(299, 'd');
        QCOMPARE(get("[A]\nk=" + value + "\n", "A", "k"), QString::fromLatin1(value.left(254)));
        QCOMPARE(get("[A]\nk=" + value.left(254) + "\n", "A", "k").size(), 254);
        QCOMPARE(get("[A]\nk=" + value.left(255) + "\n", "A", "k").size(), 254);
        // Counted after the quotes went: 254 characters inside quotes stay whole.
        QCOMPARE(get("[A]\nk=\"" + value.left(254) + "\"\n", "A", "k"),
                 QString::fromLatin1(value.left(254)));
        // Other buffer sizes.
        QCOMPARE(Profile::getString("[A]\nk=abcdef\n", "A", "k", {}, 4), QStringLiteral("abc"));
        QCOMPARE(Profile::getString("[A]\nk=abcdef\n", "A", "k", {}, 1), QString());
        // Characters, not bytes: 300 "ä" read as 254 "ä".
        QByteArray umlauts;
        for (int i = 0; i < 300; ++i)
            umlauts += "\xc3\xa4";
        QCOMPARE(get("[A]\nk=" + umlauts + "\n", "A", "k"), QString(254, QChar(0xe4)));
    }

    void writeVectors_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value"); // "<none>": no value
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("new file") << QByteArray() << "Preferences"
                                  << "ChunkSize"
                                  << "40000" << L("[Preferences]|ChunkSize=40000|");
        QTest::newRow("new section at the end") << L("[A]|k=1|") << "B"
                                                << "x"
                                                << "2" << L("[A]|k=1|[B]|x=2|");
        QTest::newRow("line break added first") << QByteArray("[A]\nk=1") << "B"
                                                << "x"
                                                << "2" << L("[A]|k=1|[B]|x=2|");
        QTest::newRow("replace in place, spelling kept")
            << L(";top|[A]|  chunksize = 60000  |z=1|") << "a"
            << "ChunkSize"
            << "40000" << L(";top|[A]|  chunksize = 40000|z=1|");
        QTest::newRow("same value leaves every byte") << L("[A]|  k =  5 \t|") << "A"
                                                      << "K"
                                                      << "5" << L("[A]|  k =  5 \t|");
        QTest::newRow("append after last non-blank line") << L("[A]|a=1|||[B]|b=2|") << "A"
                                                          << "c"
                                                          << "3" << L("[A]|a=1|c=3|||[B]|b=2|");
        QTest::newRow("append after a comment of the section")
            << L("[A]|a=1|; note||[B]|") << "A"
            << "c"
            << "3" << L("[A]|a=1|; note|c=3||[B]|");
        QTest::newRow("append to an empty section") << L("[A]||[B]|") << "A"
                                                    << "c"
                                                    << "3" << L("[A]|c=3||[B]|");
        QTest::newRow("append to the last line without break") << QByteArray("[A]\na=1") << "A"
                                                               << "c"
                                                               << "3" << L("[A]|a=1|c=3|");
        QTest::newRow("empty text") << L("[A]|k=1|") << "A"
                                    << "k"
                                    << "" << L("[A]|k=|");
        QTest::newRow("empty text new key") << L("[A]|") << "A"
                                            << "k"
                                            << "" << L("[A]|k=|");
        QTest::newRow("no value deletes") << L("[A]|a=1|k=2|b=3|") << "A"
                                          << "K"
                                          << "<none>" << L("[A]|a=1|b=3|");
        QTest::newRow("header stays when empty") << L("[A]|k=2|[B]|") << "A"
                                                 << "k"
                                                 << "<none>" << L("[A]|[B]|");
        QTest::newRow("deleting nothing") << L("[A]|a=1|") << "A"
                                          << "k"
                                          << "<none>" << L("[A]|a=1|");
        QTest::newRow("deleting in a missing section") << L("[A]|k=1|") << "B"
                                                       << "k"
                                                       << "<none>" << L("[A]|k=1|");
        QTest::newRow("only the first duplicate") << L("[A]|k=1|k=1b|[a]|k=2|") << "A"
                                                  << "k"
                                                  << "9" << L("[A]|k=9|k=1b|[a]|k=2|");
        QTest::newRow("CRLF file gets CRLF lines") << L("[A]|a=1|", "\r\n") << "A"
                                                   << "b"
                                                   << "2" << L("[A]|a=1|b=2|", "\r\n");
        QTest::newRow("CRLF new section") << L("[A]|a=1|", "\r\n") << "B"
                                          << "b"
                                          << "2" << L("[A]|a=1|[B]|b=2|", "\r\n");
        QTest::newRow("CRLF after a missing last break") << QByteArray("[A]\r\na=1") << "B"
                                                         << "b"
                                                         << "2" << L("[A]|a=1|[B]|b=2|", "\r\n");
        QTest::newRow("first break decides") << QByteArray("[A]\na=1\r\n") << "A"
                                             << "b"
                                             << "2" << QByteArray("[A]\na=1\r\nb=2\n");
        QTest::newRow("CR-only file gets LF") << QByteArray("[A]\ra=1\r") << "A"
                                              << "b"
                                              << "2" << QByteArray("[A]\ra=1\rb=2\n");
        QTest::newRow("leading spaces dropped") << L("[A]|") << "A"
                                                << "k"
                                                << "  \t v w " << L("[A]|k=v w |");
        QTest::newRow("line breaks in a value") << L("[A]|k=1|j=2|") << "A"
                                                << "k"
                                                << "a\r\nb\nc" << L("[A]|k=a  b c|j=2|");
        QTest::newRow("other lines byte for byte")
            << QByteArray("; comment \t\r\n\r\nstray line\r\n[Other]  x\r\nz = \"q\"\r\n\r\n"
                          "[Preferences]\r\n  Unknown=keep  \r\nChunkSize=1\r\n\t\r\n[Tail]")
            << "Preferences"
            << "ChunkSize"
            << "40000"
            << QByteArray("; comment \t\r\n\r\nstray line\r\n[Other]  x\r\nz = \"q\"\r\n\r\n"
                          "[Preferences]\r\n  Unknown=keep  \r\nChunkSize=40000\r\n\t\r\n[Tail]");
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

        // The same through a file on disk.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.ini"));
        if (!before.isEmpty())
            writeAll(path, before);
        QVERIFY(Profile::writePrivateString(section, key, v, path));
        QCOMPARE(readAll(path), after);
    }

    void writtenValuesReadBack()
    {
        QByteArray c;
        const QStringList values = {QStringLiteral("/movies/a b"), QStringLiteral(""),
                                    QStringLiteral("x=y"), QStringLiteral("; not a comment"),
                                    QString::fromUtf8("/Filme/K\xc3\xa4se")};
        for (int i = 0; i < values.size(); ++i)
            c = Profile::applyWrite(c, QStringLiteral("S"), QStringLiteral("k%1").arg(i),
                                    values[i]);
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(Profile::getString(c, QStringLiteral("S"), QStringLiteral("k%1").arg(i)),
                     values[i]);
    }

    void manyWritesEqualSingleWrites()
    {
        // The settings writer's eight keys, applied at once and one by one.
        const QByteArray start =
            L(";mine|[Preferences]|chunksize=1|SourceDir=/old||[X]|y=1", "\r\n");
        const QList<Profile::Write> writes = {{"SaveSourceDir", QStringLiteral("1")},
                                              {"SaveTargetDir", QStringLiteral("0")},
                                              {"SourceDir", Value()},
                                              {"TargetDir", QStringLiteral("/t")},
                                              {"ConfirmDel", QStringLiteral("1")},
                                              {"ClearQue", QStringLiteral("")},
                                              {"ChunkSizeSave", QStringLiteral("1")},
                                              {"ChunkSize", QStringLiteral("50000")}};

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tarvik.ini"));
        writeAll(path, start);
        for (const Profile::Write& w : writes)
            QVERIFY(Profile::writePrivateString(QStringLiteral("Preferences"), w.first, w.second,
                                                path));
        const QByteArray oneByOne = readAll(path);
        QCOMPARE(Profile::applyWrites(start, QStringLiteral("Preferences"), writes), oneByOne);
        QCOMPARE(oneByOne, L(";mine|[Preferences]|chunksize=50000|SaveSourceDir=1|"
                             "SaveTargetDir=0|TargetDir=/t|ConfirmDel=1|ClearQue=|"
                             "ChunkSizeSave=1||[X]|y=1",
                             "\r\n"));
    }

    void everyReadSeesTheDisk()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.ini"));
        auto read = [&] {
            return Profile::getPrivateString(QStringLiteral("A"), QStringLiteral("k"), {}, 255,
                                             path);
        };
        QVERIFY(read().isEmpty()); // no file: the default
        writeAll(path, "[A]\nk=1\n");
        QCOMPARE(read(), QStringLiteral("1"));
        writeAll(path, "[A]\nk=2\n");
        QCOMPARE(read(), QStringLiteral("2"));
    }

    void deleteOnMissingFileCreatesNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.ini"));
        QVERIFY(
            Profile::writePrivateString(QStringLiteral("A"), QStringLiteral("k"), Value(), path));
        QVERIFY(!QFileInfo::exists(path));
    }

    void failedWritesLeaveTheOldFile()
    {
        QTemporaryDir dir;
        const auto write = [](const QString& path) {
            return Profile::writePrivateString(QStringLiteral("A"), QStringLiteral("k"),
                                               QStringLiteral("new"), path);
        };

        // A folder that does not exist.
        const QString missing = dir.filePath(QStringLiteral("nowhere/t.ini"));
        QVERIFY(!write(missing));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("nowhere"))));

        // The path is a folder.
        const QString folder = dir.filePath(QStringLiteral("t.ini"));
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(!write(folder));
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(!Profile::replaceFile(folder, "[A]\n"));

        // A file system that refuses new files, even for root.
        QVERIFY(!write(QStringLiteral("/proc/reelbind-test.ini")));

        // The disk fills up while the new file is written.
        const QString full = dir.filePath(QStringLiteral("full.ini"));
        const QByteArray old = L("[A]|k=old|");
        writeAll(full, old);
        {
            FileSizeLimit limit(64);
            QVERIFY(limit.ok());
            QVERIFY(!Profile::writePrivateString(QStringLiteral("A"), QStringLiteral("k"),
                                                 QString(200, QLatin1Char('v')), full));
        }
        QCOMPARE(readAll(full), old);
        // No temporary file is left beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"full.ini"});
    }

    void hugeFileCountsAsUnreadable()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("huge.ini"));
        QByteArray content = "[A]\nk=1\n";
        content += QByteArray(Profile::kMaxFileSize, ';');
        writeAll(path, content);
        QVERIFY(!Profile::readFile(path).has_value());
        QCOMPARE(Profile::getPrivateString(QStringLiteral("A"), QStringLiteral("k"),
                                           QStringLiteral("d"), 255, path),
                 QStringLiteral("d"));
        // A single-key write does not replace what it could not read.
        QVERIFY(!Profile::writePrivateString(QStringLiteral("A"), QStringLiteral("k"),
                                             QStringLiteral("2"), path));
        QCOMPARE(QFileInfo(path).size(), content.size());

        // Just under the limit is read.
        writeAll(path, "[A]\nk=1\n" + QByteArray(Profile::kMaxFileSize - 8, ';'));
        QVERIFY(Profile::readFile(path).has_value());
        QCOMPARE(Profile::getPrivateString(QStringLiteral("A"), QStringLiteral("k"), {}, 255, path),
                 QStringLiteral("1"));
    }

    void replaceKeepsPermissions()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.ini"));
        writeAll(path, "[A]\nk=1\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(Profile::replaceFile(path, "[A]\nk=2\n"));
        QCOMPARE(readAll(path), QByteArray("[A]\nk=2\n"));
        const QFile::Permissions p = QFile::permissions(path);
        QVERIFY(p.testFlag(QFile::ReadOwner) && p.testFlag(QFile::WriteOwner));
        QVERIFY(!p.testFlag(QFile::ReadGroup) && !p.testFlag(QFile::ReadOther));
    }
};

QTEST_APPLESS_MAIN(TestProfile)
#include "test_profile.moc"
