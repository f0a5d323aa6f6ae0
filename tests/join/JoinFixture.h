#pragma once

// Shared by the join's window tests.

#include "app/frmReelbind.h"
#include "join/JoinController.h"
#include "join/frmJoinStatus.h"
#include "platform/FakePlatform.h"
#include "queue/Format.h"
#include "queue/QueueModel.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <functional>

namespace JoinTest {

using TestSupport::pattern;

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

/// Fills in {dir} and the system's reasons {ENOENT}, {EISDIR}, {ENOSPC}.
inline QString expand(QString text, const QString& dir)
{
    const QList<QPair<const char*, int>> reasons{
        {"{ENOENT}", ENOENT}, {"{EISDIR}", EISDIR}, {"{ENOSPC}", ENOSPC}};
    for (const auto& [key, error] : reasons)
        text.replace(QLatin1String(key), QString::fromLocal8Bit(std::strerror(error)));
    return text.replace("{dir}", dir);
}

/// A main window on a scripted desktop, a folder for the movies, chunk 10,000.
struct Fixture
{
    TestSupport::App app;
    QTemporaryDir files;
    frmReelbind& w;
    FakePlatform& fake;

    Fixture() : w(*app.window), fake(*app.platform)
    {
        w.SldrChunkSize->setValue(10000);
        w.show();
    }

    QString path(const QString& name) const { return files.filePath(name); }

    /// Writes pattern(size, seed) to the folder and queues it.
    QString queueFile(const QString& name, qint64 size, int seed)
    {
        TestSupport::makeFile(files.path(), name, size, seed);
        return queueExisting(name, size);
    }

    /// Queues folder/name with the size it had when added, as Add does.
    QString queueExisting(const QString& name, qint64 size)
    {
        w.queue()->append(
            {QueueRow{name, files.path() + QLatin1Char('/'), Format::megabytes(size)}});
        for (QPushButton* b : {w.CmdRemove, w.CmdClear, w.CmdJoin})
            b->setEnabled(true);
        w.RefreshEstimate();
        return path(name);
    }

    /// The queued files' bytes, concatenated in queue order.
    QByteArray queuedBytes() const
    {
        QByteArray all;
        for (const QueueRow& r : w.queue()->rows())
            all += readAll(r.fullPath());
        return all;
    }

    QStringList queuedNames() const
    {
        QStringList out;
        for (const QueueRow& r : w.queue()->rows())
            out << r.name;
        return out;
    }

    /// Answers the save dialog with `target` and presses Join.
    void join(const QString& target)
    {
        fake.setNextSaveFile(target);
        w.CmdJoin_Click();
    }

    frmJoinStatus* status() const { return w.joinController()->statusWindow(); }
    void tick(LiveSettings::Box box, bool on) { w.live().setCheckState(box, on ? 1 : 0); }

    /// Join, Add, Remove, Clear, Exit enabled as 0/1.
    QString fiveButtons() const
    {
        QString out;
        for (QPushButton* b : {w.CmdJoin, w.CmdAdd, w.CmdRemove, w.CmdClear, w.CmdExit})
            out += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return out;
    }
};

/// Calls fn(n) once in every event pump (n from 1): an event that posts
/// itself again is delivered once per processEvents(). Lives around one join.
class EachPump : public QObject
{
public:
    explicit EachPump(std::function<void(int)> fn) : m_fn(std::move(fn)) { post(); }
    int count() const { return m_count; }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != kType)
            return QObject::event(e);
        m_fn(++m_count);
        post();
        return true;
    }

private:
    void post() { QCoreApplication::postEvent(this, new QEvent(kType)); }
    static constexpr QEvent::Type kType = QEvent::Type(QEvent::User + 71);
    std::function<void(int)> m_fn;
    int m_count = 0;
};

} // namespace JoinTest
