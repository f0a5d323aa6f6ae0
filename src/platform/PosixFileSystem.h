#pragma once

#include "platform/FileSystem.h"

/// The real file system, through POSIX calls with 64-bit sizes.
/// Outputs are written unbuffered, so a full disk shows at the write that
/// meets it; their temporary names are hidden (".name.XXXXXX"). Free space
/// comes from a fresh QStorageInfo on each query. The trash is Qt's
/// (QFile::moveToTrash), made safe against a fault of Qt 6.4: with the
/// user's data folder missing it moved the file into "files/" under the
/// working folder and called that a success. The data folder is created
/// first, and only a file that landed in a trash's "files" folder counts.
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
    std::unique_ptr<Output> createBeside(const QString& target, QString& reason) override;
    Copied copyRange(Input& from, Output& to, qint64 bytes) override;
    QString rename(const QString& from, const QString& to) override;
    Identity identity(const QString& path) override;
    QString makeDurable(const QString& path) override;
    Trashed moveToTrash(const QString& path, QString& reason) override;

    /// The system's text for an error number ("No such file or directory").
    static QString systemReason(int error);
};
