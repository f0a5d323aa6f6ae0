#include "core/join/Digest.h"

#include <QCryptographicHash>
#include <QtEndian>
#include <zlib.h>

Digest::Digest(Checksums::Kind kind)
{
    using Kind = Checksums::Kind;
    if (kind != Kind::Crc32)
        m_hash =
            std::make_unique<QCryptographicHash>(kind == Kind::Md5    ? QCryptographicHash::Md5
                                                 : kind == Kind::Sha1 ? QCryptographicHash::Sha1
                                                                      : QCryptographicHash::Sha256);
}

Digest::~Digest() = default;

void Digest::add(const char* data, qint64 bytes)
{
    if (m_hash)
        m_hash->addData(QByteArrayView(data, bytes));
    else
        m_crc = quint32(crc32_z(m_crc, reinterpret_cast<const Bytef*>(data), size_t(bytes)));
}

QByteArray Digest::result() const
{
    if (m_hash)
        return m_hash->result();
    QByteArray crc(4, '\0');
    qToBigEndian(m_crc, crc.data());
    return crc;
}
