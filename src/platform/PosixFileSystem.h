#pragma once

#include "platform/FileSystem.h"

/// The real file system, through POSIX calls with 64-bit sizes.
/// Outputs are written unbuffered, so a full disk shows at the write that
/// meets it; their temporary names are hidden (".name.XXXXXX"). Free space
/// comes from a fresh QStorageInfo on each query. Small files are replaced
/// through QSaveFile. The trash is the desktop's, through GIO (as file
/// managers use it): the user's own trash, or a file system's own
/// ".Trash-UID" where the user's cannot take a file.
class PosixFileSystem : public FileSystem
{
public:
    FileResult<qint64> fileSize(const QString& path) override;
    FileResult<qint64> readableFileSize(const QString& path) override;
    FileIdentity identity(const QString& path) override;
    bool fileExists(const QString& pathName) override;
    int firstSameFile(const QStringList& files, const QString& target) override;
    FileResult<qint64> freeSpace(const QString& folder) override;
    QStringList fileNames(const QString& folder) override;

    FileResult<std::unique_ptr<InputFile>> openInput(const QString& path) override;
    FileResult<std::unique_ptr<OutputFile>> createBeside(const QString& target) override;
    void removeLeftovers(const QString& folder) override;
    FileError rename(const QString& from, const QString& to) override;
    FileError makeDurable(const QString& path) override;
    FileResult<QByteArray> readSmallFile(const QString& path, qint64 maxBytes) override;
    FileError replaceFile(const QString& path, const QByteArray& content) override;
    FileError makeFolder(const QString& path) override;

    FileResult<qint64> copyRange(InputFile& from, OutputFile& to, qint64 bytes) override;
    qint64 shareBlock(OutputFile& to) override;
    FileError shareAll(InputFile& from, OutputFile& to, qint64 bytes) override;
    qint64 sharedBlockSize(const QString& folder, const QString& sample) override;

    FileError moveToTrash(const QString& path) override;
    FileError removeFile(const QString& path) override;
};
