#include "core/settings/Preferences.h"
#include "core/settings/SettingRules.h"

#include <QtGlobal>

using SettingRules::checkStateOf;
using Kind = SettingInfo::Kind;

Preferences::Preferences(Settings& stored, QObject* parent) : QObject(parent), m_stored(stored) {}

void Preferences::ensureWindowValues()
{
    if (m_haveWindowValues)
        return;
    m_haveWindowValues = true;
    for (const SettingInfo& s : kSettingTable) {
        const int i = int(s.id);
        if (s.kind == Kind::Switch)
            m_states[i] = checkStateOf(m_stored[s.id]);
        else if (s.kind == Kind::Folder)
            m_folders[i] =
                m_states[int(s.switchedBy)] == 1 ? m_stored[s.id].value_or(QString()) : QString();
    }
    for (const SettingInfo& s : kSettingTable) {
        if (s.kind == Kind::Switch)
            emit checkStateChanged(s.id, m_states[int(s.id)]);
        else if (s.kind == Kind::Folder)
            emit folderTextChanged(s.id, m_folders[int(s.id)]);
    }
}

int Preferences::checkState(SettingId id)
{
    ensureWindowValues();
    return m_states[int(id)];
}

void Preferences::setCheckState(SettingId id, int state)
{
    ensureWindowValues();
    if (m_states[int(id)] == state)
        return;
    m_states[int(id)] = state;
    emit checkStateChanged(id, state);
}

QString Preferences::folderText(SettingId id)
{
    ensureWindowValues();
    return m_folders[int(id)];
}

void Preferences::setFolderText(SettingId id, const QString& text)
{
    ensureWindowValues();
    if (m_folders[int(id)] == text)
        return;
    m_folders[int(id)] = text;
    emit folderTextChanged(id, text);
}

void Preferences::rememberFolder(SettingId id, const QString& folder)
{
    if (!isTicked(settingInfo(id).switchedBy))
        return;
    setFolderText(id, folder);
    m_stored[id] = folder;
}

void Preferences::setChunkSize(int bytes)
{
    bytes = qBound(kChunkMin, bytes, kChunkMax);
    if (bytes == m_chunkSize)
        return;
    m_chunkSize = bytes;
    if (isTicked(settingInfo(SettingId::ChunkSize).switchedBy))
        m_stored[SettingId::ChunkSize] = QString::number(bytes);
    emit chunkSizeChanged(bytes);
}

void Preferences::discardWindowValues()
{
    m_haveWindowValues = false;
}
