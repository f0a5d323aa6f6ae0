#pragma once

// Helpers shared by the join's window tests.

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
#include <functional>

namespace JoinTest {

/// A main window with a scripted desktop and a folder for the movies.
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

    /// Creates files.path()/name and queues it as Add would.
    QString queueFile(const QString& name, qint64 size, int seed)
    {
        const QString path = TestSupport::makeFile(files.path(), name, size, seed);
        queueExisting(name, files.path() + QLatin1Char('/'), size);
        return path;
    }

    void queueExisting(const QString& name, const QString& folder, qint64 size)
    {
        w.queue()->append({QueueRow{name, folder, Format::megabytes(size)}});
        w.CmdRemove->setEnabled(true);
        w.CmdClear->setEnabled(true);
        w.CmdJoin->setEnabled(true);
    }

    QString path(const QString& name) const { return files.filePath(name); }

    /// Answers the save dialog with `target` and presses Join.
    void join(const QString& target)
    {
        fake.setNextSaveFile(target);
        w.CmdJoin_Click();
    }

    frmJoinStatus* status() const { return w.joinController()->statusWindow(); }

    void tick(LiveSettings::Box box, bool on) { w.live().setCheckState(box, on ? 1 : 0); }

    /// "Join Add Remove Clear Exit" enabled states as 0/1.
    QString fiveButtons() const
    {
        return QStringLiteral("%1%2%3%4%5")
            .arg(int(w.CmdJoin->isEnabled()))
            .arg(int(w.CmdAdd->isEnabled()))
            .arg(int(w.CmdRemove->isEnabled()))
            .arg(int(w.CmdClear->isEnabled()))
            .arg(int(w.CmdExit->isEnabled()));
    }
};

/// Calls `fn(n)` once in every event pump (n counts from 1): a posted event
/// that posts itself again is delivered once per processEvents() call.
/// Create it right before the join and destroy it right after.
class EachPump : public QObject
{
public:
    explicit EachPump(std::function<void(int)> fn) : m_fn(std::move(fn))
    {
        QCoreApplication::postEvent(this, new QEvent(kType));
    }
    int count() const { return m_count; }
    void stop() { m_stopped = true; }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != kType)
            return QObject::event(e);
        if (m_stopped)
            return true;
        ++m_count;
        m_fn(m_count);
        if (!m_stopped)
            QCoreApplication::postEvent(this, new QEvent(kType));
        return true;
    }

private:
    static constexpr QEvent::Type kType = QEvent::Type(QEvent::User + 71);
    std::function<void(int)> m_fn;
    int m_count = 0;
    bool m_stopped = false;
};

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

inline QString finalText(const frmJoinStatus* s)
{
    return s->TextFinal->toPlainText();
}

} // namespace JoinTest
