#include "core/Preferences.h"

#include <QtGlobal>

using SettingRules::checkStateOf;

Preferences::Preferences(Settings& stored, QObject* parent) : QObject(parent), m_stored(stored) {}

void Preferences::ensureWindowValues()
{
    if (m_haveWindowValues)
        return;
    m_haveWindowValues = true;
    const Settings& s = m_stored;
    m_states[RememberSource] = checkStateOf(s.SaveSourceDir);
    m_folders[SourceFolder] =
        m_states[RememberSource] == 1 ? s.SourceDir.value_or(QString()) : QString();
    m_states[RememberTarget] = checkStateOf(s.SaveTargetDir);
    m_folders[TargetFolder] =
        m_states[RememberTarget] == 1 ? s.TargetDir.value_or(QString()) : QString();
    m_states[ConfirmDel] = checkStateOf(s.ConfirmDel);
    m_states[ClearQue] = checkStateOf(s.ClearQue);
    m_states[ChunkSizeSave] = checkStateOf(s.ChunkSizeSave);
    for (int b = 0; b < kBoxCount; ++b)
        emit checkStateChanged(Box(b), m_states[b]);
    emit folderTextChanged(SourceFolder, m_folders[SourceFolder]);
    emit folderTextChanged(TargetFolder, m_folders[TargetFolder]);
}

int Preferences::checkState(Box box)
{
    ensureWindowValues();
    return m_states[box];
}

void Preferences::setCheckState(Box box, int state)
{
    ensureWindowValues();
    if (m_states[box] == state)
        return;
    m_states[box] = state;
    emit checkStateChanged(box, state);
}

QString Preferences::folderText(Folder folder)
{
    ensureWindowValues();
    return m_folders[folder];
}

void Preferences::setFolderText(Folder folder, const QString& text)
{
    ensureWindowValues();
    if (m_folders[folder] == text)
        return;
    m_folders[folder] = text;
    emit folderTextChanged(folder, text);
}

void Preferences::setChunkSize(int bytes)
{
    bytes = qBound(kChunkMin, bytes, kChunkMax);
    if (bytes == m_chunkSize)
        return;
    m_chunkSize = bytes;
    if (isTicked(ChunkSizeSave))
        m_stored.ChunkSize = QString::number(bytes);
    emit chunkSizeChanged(bytes);
}

void Preferences::discardWindowValues()
{
    m_haveWindowValues = false;
}
