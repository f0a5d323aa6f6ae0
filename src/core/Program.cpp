#include "core/Program.h"

#include "Product.h"
#include "platform/FileSystem.h"

Program::Program(FileSystem& files, EventPump& pump, const Locations& where, QObject* parent)
    : QObject(parent), m_files(files), m_where(where), m_prefs(m_settings),
      m_store(m_settings, m_prefs, files, where.settingsFile()), m_queue(m_prefs, files),
      m_join(m_queue, m_prefs, files, pump)
{
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
    if (m_closing)
        return;
    // An exit during a join cancels the join and goes on once it has ended.
    if (m_join.isRunning()) {
        m_join.cancelThen([this, kind] { exit(kind); }, kind == ExitKind::Stopped);
        return;
    }
    QString reason;
    if (kind == ExitKind::Save && !m_store.save(&reason))
        emit settingsNotSaved(m_store.notSavedMessage(reason));
    m_closing = true;
    emit closing();
}
