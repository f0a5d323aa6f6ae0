#include "support/CoreSupport.h"

#include "Product.h"
#include "core/ProgressThrottle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace TestSupport {

QByteArray pattern(qint64 size, int seed)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        data[i] = char((i * 131 + seed) % 251);
    return data;
}

QString makeFile(const QString& dir, const QString& name, qint64 size, int seed)
{
    const QString path = dir + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot create %s", qPrintable(path));
    const qint64 block = 1 << 20;
    for (qint64 done = 0; done < size; done += block) {
        const qint64 n = qMin(block, size - done);
        QByteArray data(n, Qt::Uninitialized);
        for (qint64 i = 0; i < n; ++i)
            data[i] = char(((done + i) * 131 + seed) % 251);
        f.write(data);
    }
    return path;
}

QByteArray bytesOf(const QString& pieces)
{
    QByteArray out;
    for (const QString& piece : pieces.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList p = piece.split(QRegularExpression(QStringLiteral("[:@*]")));
        const QByteArray hex = QByteArray::fromHex(p[piece.contains(QLatin1Char(':'))].toLatin1());
        const bool tail = piece.startsWith(QLatin1Char('+'));
        QByteArray filler(tail ? piece.mid(1).toInt() : p[0].toInt(), tail ? '\x11' : '\x5a');
        if (piece.contains(QLatin1Char(':')))
            for (const QString& at : piece.section(QLatin1Char('@'), 1).split(QLatin1Char(',')))
                filler.replace(at.toInt(), hex.size(), hex);
        if (piece.contains(QLatin1Char('*')))
            out += (hex + QByteArray(p[1].toInt() - 4, '\x11')).repeated(p[2].toInt());
        else
            out += piece.contains(QLatin1Char(':')) || tail ? filler : hex;
    }
    return out;
}

QByteArray lines(const QString& text)
{
    return text.toUtf8().replace('|', '\n').replace('^', '\r').replace('~', '\0');
}

QString sized(const QString& dir, const QString& name, qint64 size)
{
    QFile f(dir + QLatin1Char('/') + name);
    return f.open(QIODevice::WriteOnly) && f.resize(size) ? f.fileName() : QString();
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString reason(int error)
{
    return FileError::fromCode(error).text();
}

QByteArray iniFile(const QString& fields)
{
    QByteArray out = "[Preferences]\n";
    const QStringList f = fields.split(QLatin1Char('|'));
    for (int i = 0; i < kSettingCount; ++i)
        if (i < f.size() && f[i] != QLatin1String("<none>"))
            out += QByteArray(kSettingTable[i].key) + '=' + f[i].toUtf8() + '\n';
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QList<qint64> sparseMarks(qint64 size)
{
    return {0, (qint64(1) << 31) - 3, size - 9};
}

QStringList makeSources(const QString& dir, const QList<qint64>& sizes, QByteArray* bytes)
{
    QStringList paths;
    for (int i = 0; i < sizes.size(); ++i) {
        if (sizes[i] < qint64(1) << 30) {
            paths << makeFile(dir, QStringLiteral("f%1").arg(i), sizes[i], i + 1);
            if (bytes)
                *bytes += pattern(sizes[i], i + 1);
            continue;
        }
        paths << sized(dir, QStringLiteral("big"), sizes[i]);
        for (const qint64 at : sparseMarks(sizes[i]))
            if (!writeAt(paths.last(), at, "!!!!!!!!!"))
                qFatal("cannot mark %s", qPrintable(paths.last()));
    }
    return paths;
}

bool meddle(const QString& dir, const QString& step, TestFileSystem& files)
{
    const QString op = step.section(QLatin1Char(' '), 0, 0),
                  name = step.section(QLatin1Char(' '), 1);
    const QString file = dir + QLatin1Char('/') + name;
    if (op == QLatin1String("rm")) {
        const QStringList found = QDir(dir).entryList({name}, QDir::Files | QDir::Hidden);
        return found.size() == 1 && QFile::remove(dir + QLatin1Char('/') + found[0]);
    }
    if (op == QLatin1String("full"))
        return (files.diskLeft = 50000) > 0;
    return op == QLatin1String("mkdir") ? QDir().mkdir(file)
           : op == QLatin1String("cut") ? QFile::resize(file, 20010)
           : op == QLatin1String("grow")
               ? QFile::resize(file, 60000)
               : op == QLatin1String("old") && makeFile(dir, name, 3000000, 9) == file;
}

QString said(const FileError& error)
{
    return error.failed() ? error.text() : QStringLiteral("ok");
}

QString said(const FileResult<qint64>& result)
{
    return result ? QString::number(*result) : result.error().text();
}

QString liveOf(Preferences& live)
{
    QString s;
    for (const SettingInfo& info : kSettingTable)
        if (info.kind == SettingInfo::Kind::Switch)
            s += QString::number(live.checkState(info.id));
    return s + QLatin1Char('|') + live.folderText(SettingId::SourceDir) + QLatin1Char('|') +
           live.folderText(SettingId::TargetDir) + QLatin1Char('|') +
           QString::number(live.chunkSize());
}

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    rlimit old;
    if (getrlimit(RLIMIT_FSIZE, &old) != 0)
        return;
    m_old[0] = qint64(old.rlim_cur), m_old[1] = qint64(old.rlim_max);
    m_handler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit full = {rlim_t(bytes), old.rlim_max};
    m_active = setrlimit(RLIMIT_FSIZE, &full) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    const rlimit old = {rlim_t(m_old[0]), rlim_t(m_old[1])};
    if (m_active)
        setrlimit(RLIMIT_FSIZE, &old);
    if (m_handler)
        std::signal(SIGXFSZ, m_handler);
}

SecondPath::SecondPath(const QString& folder)
{
    QProcess bindfs;
    bindfs.start(QStringLiteral("bindfs"), {folder, view.path()});
    mounted = bindfs.waitForFinished(10000) && bindfs.exitStatus() == QProcess::NormalExit &&
              bindfs.exitCode() == 0;
}

SecondPath::~SecondPath()
{
    if (mounted && QProcess::execute(QStringLiteral("fusermount"), {"-u", "-z", view.path()}) != 0)
        QProcess::execute(QStringLiteral("umount"), {"-l", view.path()});
}

QStringList openFiles()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files);
}

bool writeAt(const QString& path, qint64 offset, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::ReadWrite) && f.seek(offset) && f.write(bytes) == bytes.size();
}

QByteArray readAt(const QString& path, qint64 offset, qint64 count)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.seek(offset) ? f.read(count) : "<missing>";
}

bool makePipe(const QString& path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

QString column(const QList<QueueRow>& rows, int col)
{
    QStringList out;
    for (const QueueRow& r : rows)
        out << (col == 0 ? r.name : col == 1 ? r.folder : r.size);
    return out.join(QLatin1Char(' '));
}

QString commandBits(const JoinQueue& queue)
{
    const JoinQueue::Commands c = queue.commands();
    return QStringLiteral("%1%2%3%4%5")
        .arg(c.add)
        .arg(c.remove)
        .arg(c.clear)
        .arg(c.join)
        .arg(c.exit);
}

void addRows(std::initializer_list<const char*> rows, std::initializer_list<const char*> more)
{
    QTest::addColumn<QString>("row");
    for (const auto& list : {rows, more})
        for (const char* row : list)
            QTest::newRow(row) << QString::fromUtf8(row);
}

QString row()
{
    return QString::fromUtf8(QTest::currentDataTag());
}

void CountingPump::pumpEvents()
{
    QCoreApplication::processEvents();
    ++count;
    if (onPump)
        onPump(count);
}

QString queueSteps(Core& core, const QString& steps)
{
    JoinQueue& q = core.queue();
    const QString dir = core.programFolder(), cwd = QDir::currentPath();
    const QLocale locale;
    QDir::setCurrent(dir);
    QString seen;
    for (const QString& step : steps.split(QStringLiteral("; "))) {
        QStringList w = step.split(QLatin1Char(' '));
        const QString op = w.takeFirst();
        QList<int> rows;
        QSet<quint64> ids;
        QStringList paths;
        for (int i = 0; i < w.size(); ++i) {
            ids << q.rows().value(rows.emplaceBack(w[i].toInt())).id;
            const QString name = w[i].section(QLatin1Char('='), 0, 0);
            const QString size = w[i].section(QLatin1Char('='), 1);
            if (op == QLatin1String("add") && !name.startsWith(QLatin1Char('-')) &&
                !name.startsWith(QLatin1Char('@'))) {
                QDir(dir).mkpath(QFileInfo(name).path());
                sized(dir, name, size.isEmpty() ? (i + 1) << 20 : size.toLongLong());
            }
            paths << (name.startsWith(QLatin1Char('@'))
                          ? name.mid(1)
                          : dir + QLatin1Char('/') + name.mid(name.startsWith(QLatin1Char('-'))));
        }
        QString said;
        if (op == QLatin1String("add"))
            said = q.add(paths);
        else if (op == QLatin1String("remember"))
            core.prefs().setCheckState(SettingId::SaveSourceDir, rows.value(0));
        else if (op == QLatin1String("source"))
            core.prefs().setFolderText(SettingId::SourceDir, w.value(0));
        else if (op == QLatin1String("folder"))
            said = q.addFolder() + QLatin1Char('|') + *core.settings()[SettingId::SourceDir];
        else if (op == QLatin1String("locale"))
            QLocale::setDefault(QLocale(w.value(0)));
        else if (op == QLatin1String("names") || op == QLatin1String("folders") ||
                 op == QLatin1String("sizes"))
            said = column(q.rows(), op == QLatin1String("names")     ? 0
                                    : op == QLatin1String("folders") ? 1
                                                                     : 2);
        else if (op == QLatin1String("remove"))
            q.remove(rows);
        else if (op == QLatin1String("joined"))
            q.removeJoined(ids);
        else if (op == QLatin1String("clear"))
            q.clear();
        else if (op == QLatin1String("up"))
            said = q.moveUp(rows);
        else if (op == QLatin1String("down"))
            said = q.moveDown(rows);
        else if (op == QLatin1String("sort"))
            q.sortByColumn(rows.value(0));
        else if (op == QLatin1String("run") || op == QLatin1String("end"))
            q.setJoinRunning(op == QLatin1String("run"));
        else
            qFatal("no queue step %s", qPrintable(op));
        seen += said.isEmpty() ? QString() : QStringLiteral(" | ") + said;
    }
    QDir::setCurrent(cwd);
    QLocale::setDefault(locale);
    return column(q.rows()) + QStringLiteral(" | ") +
           q.estimate().section(QStringLiteral("  "), 1) + QStringLiteral(" | ") + commandBits(q) +
           seen;
}

QString progressSteps(int width, const QString& steps)
{
    const QList<int> items = {ProgressThrottle::FileLine, ProgressThrottle::FilePercent,
                              ProgressThrottle::BatchPercent, ProgressThrottle::FileBar,
                              ProgressThrottle::BatchBar};
    const QString letters = QStringLiteral("lpPbB");
    const auto lettersOf = [&](int bits) {
        QString s;
        for (int i = 0; i < items.size(); ++i)
            s += bits & items[i] ? letters.mid(i, 1) : QString();
        return s.isEmpty() ? QStringLiteral("-") : s;
    };
    ProgressThrottle p;
    p.setBarWidth(width);
    JoinFigures f;
    QStringList seen;
    for (const QString& step : steps.split(QLatin1Char(' '))) {
        const QChar what = step[0];
        const QString arg = step.mid(1);
        const qint64 n = arg.section(QLatin1Char('/'), 0, 0).toLongLong();
        const qint64 m = arg.section(QLatin1Char('/'), 1).toLongLong();
        int changed = -1;
        if (what == QLatin1Char('b')) {
            changed = p.batchStarted(f.batchTotal = n);
        } else if (what == QLatin1Char('f')) {
            f.fileLength = n, f.fileDone = f.fileShown = 0;
            changed = p.fileStarted(f);
        } else if (what == QLatin1Char('c')) {
            f.batchDone += n - f.fileDone, f.fileDone = n, f.fileShown = m;
            changed = p.copied(f);
        } else if (what == QLatin1Char('e')) {
            changed = p.ended();
        } else if (what == QLatin1Char('s')) {
            p.startFrames(n * ProgressThrottle::kFrameMs + m);
        } else if (what == QLatin1Char('m')) {
            int bits = 0;
            for (int i = 0; i < items.size(); ++i)
                bits |= arg.contains(letters[i]) ? items[i] : 0;
            p.markChanged(bits);
        } else if (what == QLatin1Char('x')) {
            p.stopFrames();
        } else if (what == QLatin1Char('t')) {
            seen << lettersOf(p.takeFrame(n * ProgressThrottle::kFrameMs + m));
        } else {
            qFatal("no progress step %s", qPrintable(step));
        }
        if (changed >= 0)
            seen << QStringLiteral("%1 %2 %3 %4 %5")
                        .arg(p.filePercent(), p.batchPercent())
                        .arg(p.fileBar())
                        .arg(p.batchBar())
                        .arg(lettersOf(changed));
    }
    return seen.join(QStringLiteral(", "));
}

RecordingProgress::RecordingProgress(CountingPump& pump)
{
    pump.onPump = [this](int) {
        if (std::exchange(m_waiting, false))
            afterRound(rounds);
    };
}

void RecordingProgress::fileStarted(int, const JoinFigures&)
{
    ++files;
    missed += std::exchange(m_waiting, false);
}

void RecordingProgress::copied(const JoinFigures& figures)
{
    last = figures;
    ++rounds;
    missed += std::exchange(m_waiting, true);
}

bool ScriptedPrompts::joinAnyway(const QString& question)
{
    asked = question;
    return anyway;
}

QString ScriptedPrompts::chooseTarget(const QString& folder)
{
    dialogFolder = folder;
    inDialog();
    return target;
}

Core::Core(const QByteArray& ini) : m_programFolder(folder.path())
{
    if (!ini.isNull()) {
        QFile f(iniPath());
        if (!f.open(QIODevice::WriteOnly) || f.write(ini) != ini.size())
            qFatal("cannot write ini");
    }
    start(Locations::portable(m_programFolder));
}

Core::Core(InFolder where) : m_programFolder(where.path)
{
    start(Locations::portable(m_programFolder));
}

Core::Core(const Locations& where) : m_programFolder(where.settingsFolder)
{
    start(where);
}

void Core::start(const Locations& where)
{
    // Deleted sources go to a trash of the tests' own, never the user's.
    static QTemporaryDir home;
    if (qEnvironmentVariableIsEmpty("XDG_DATA_HOME"))
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    program = std::make_unique<Program>(files, pump, where);
    program->startUp();
}

Core::~Core() = default;

QString Core::iniPath() const
{
    return program ? program->iniPath()
                   : m_programFolder + QLatin1Char('/') + Product::kSettingsFileName;
}

QByteArray Core::iniBytes() const
{
    return readAll(iniPath());
}

QByteArray Core::firstStartIni() const
{
    const QByteArray dir = m_programFolder.toUtf8();
    return "[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\nSourceDir=" + dir +
           "\nTargetDir=" + dir + "\nConfirmDel=1\nClearQue=0\nChunkSizeSave=1\nChunkSize=40000\n";
}

JoinCore::JoinCore() : m_dataHome(qgetenv("XDG_DATA_HOME"))
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    prefs().setChunkSize(10000);
    join().byteCopy().setOptions({true, 1});
    files.sparseOutputs = true; // a join of gibibytes let through by mistake fills no disk
    QObject::connect(&join(), &JoinSession::phaseChanged, [this](JoinSession::Phase phase) {
        phases += QString::number(int(phase));
        if (phase == JoinSession::Phase::Joining)
            progress.afterRound(0);
        if (phase == JoinSession::Phase::Ended)
            commandsAtEnd = commandBits(queue());
    });
}

JoinCore::~JoinCore()
{
    qputenv("XDG_DATA_HOME", m_dataHome);
}

bool JoinCore::run(const QString& to)
{
    target = to;
    return join().run(*this, progress);
}

void JoinCore::queueFile(const QString& name, qint64 size, int seed)
{
    if (size >= qint64(1) << 30)
        sized(movies.path(), name, size);
    else
        makeFile(movies.path(), name, size, seed);
    queue().add({at(name)});
}

} // namespace TestSupport
