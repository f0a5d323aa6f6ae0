#pragma once

#include "platform/PosixFileSystem.h"

#include <QStringList>

/// The real file system with a scripted free space: every query is
/// recorded and answered with what the test set (a petabyte unless told).
class TestFileSystem : public PosixFileSystem
{
public:
    /// nullopt makes every query fail.
    void setFreeSpace(std::optional<qint64> bytes) { m_freeSpace = bytes; }
    std::optional<qint64> freeSpace(const QString& folder) override
    {
        freeSpaceQueries << folder;
        return m_freeSpace;
    }

    QStringList freeSpaceQueries;

private:
    std::optional<qint64> m_freeSpace = qint64(1) << 50;
};
