#include "core/Program.h"

#include "Product.h"
#include "platform/FileSystem.h"

Program::Program(FileSystem& files, const QString& programFolder, QObject* parent)
    : QObject(parent), m_files(files), m_programFolder(programFolder), m_prefs(m_settings),
      m_store(m_settings, m_prefs, programFolder + QLatin1Char('/') + Product::kSettingsFileName),
      m_queue(m_prefs, m_settings, files), m_join(m_queue, m_prefs, m_settings, files)
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

QString Program::readmePath() const
{
    return m_programFolder + QLatin1Char('/') + Product::kReadmeFileName;
}

void Program::startUp()
{
    m_store.startUp(m_files.File_Exists(m_store.iniPath()));
}

void Program::exit(ExitKind kind)
{
    if (m_closing)
        return;
    // An exit during a join cancels the join and goes on once it has ended.
    if (m_join.isRunning()) {
        m_join.cancelThen([this, kind] { exit(kind); });
        return;
    }
    QString reason;
    if (kind == ExitKind::Save && !m_store.save(&reason))
        emit settingsNotSaved(m_store.notSavedMessage(reason));
    m_closing = true;
    emit closing();
}
