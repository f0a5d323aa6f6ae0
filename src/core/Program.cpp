#include "core/Program.h"

#include "Product.h"
#include "platform/FileSystem.h"

Program::Program(FileSystem& files, const Locations& where, QObject* parent)
    : QObject(parent), m_files(files), m_where(where), m_prefs(m_settings),
      m_store(m_settings, m_prefs, files, where.settingsFile()), m_queue(m_prefs, files),
      m_join(m_queue, m_prefs, files)
{
    // An exit that waited for the join goes on once the windows have taken in its end.
    connect(&m_join, &JoinSession::phaseChanged, this, [this](JoinSession::Phase phase) {
        if (phase == JoinSession::Phase::Ended && m_exit)
            QMetaObject::invokeMethod(this, &Program::finishExit, Qt::QueuedConnection);
    });
}

Program::~Program() = default;

QString Program::caption()
{
    return QStringLiteral("%1 %2.%3.%4b")
        .arg(Product::kName)
        .arg(Product::kMajor)
        .arg(Product::kMinor)
        .arg(Product::kRevision);
}

void Program::startUp()
{
    if (m_where.installed)
        m_files.makeFolder(m_where.settingsFolder); // a failure shows as any unwritable folder does
    m_store.startUp(m_files.fileExists(m_store.iniPath()), m_where.firstStartFolder);
}

void Program::exit(ExitKind kind)
{
    if (!m_exit)
        m_exit = kind;
    emit dismissDialogs(); // the message at the end too, should one still be open
    if (m_closing)
        return;
    if (m_join.isRunning())
        m_join.cancel(kind == ExitKind::Stopped); // finishExit() follows its end
    else
        QMetaObject::invokeMethod(this, &Program::finishExit, Qt::QueuedConnection);
}

void Program::finishExit()
{
    if (m_closing || m_join.isRunning())
        return;
    QString reason;
    if (*m_exit == ExitKind::Save && !m_store.save(&reason))
        emit settingsNotSaved(m_store.notSavedMessage(reason));
    m_closing = true;
    emit closing();
}
