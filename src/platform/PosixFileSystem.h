#pragma once

#include "platform/FileSystem.h"

/// The real file system, through POSIX calls with 64-bit sizes.
/// Outputs are written unbuffered, so a full disk shows at the write that
/// meets it. Free space comes from a fresh QStorageInfo on each query.
class PosixFileSystem : public FileSystem
{
public:
    Status fileSize(const QString& path) override;
    Status readableFileSize(const QString& path) override;
    bool File_Exists(const QString& PathName) override;
    bool exists(const QString& path) override;
    int firstSameFile(const QStringList& files, const QString& target) override;
    std::optional<qint64> freeSpace(const QString& folder) override;
    QString removeFile(const QString& path) override;
    std::unique_ptr<Input> openInput(const QString& path, Status& status) override;
    std::unique_ptr<Output> createOutput(const QString& path, QString& reason) override;

    /// The system's text for an error number ("No such file or directory").
    static QString systemReason(int error);
};
