#pragma once

#include "core/join/Checksums.h"

#include <QByteArray>
#include <memory>

class QCryptographicHash;

/// A sum of one of the checksum files' kinds over bytes added piece by
/// piece: Qt's MD5, SHA-1 and SHA-256, zlib's CRC-32.
class Digest
{
public:
    explicit Digest(Checksums::Kind kind);
    ~Digest();

    void add(const char* data, qint64 bytes);
    /// The sum of all bytes added, as Checksums::Sum::digest holds it.
    QByteArray result() const;

private:
    std::unique_ptr<QCryptographicHash> m_hash; // none for a CRC-32
    quint32 m_crc = 0;
};
