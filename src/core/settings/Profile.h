#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

/// Reading and writing of private-profile (INI) files.
///
/// The file is handled as bytes: lines end at CR, LF or any run of them,
/// lines are trimmed, names match ASCII case-insensitively, the first
/// matching section and key win, and a write changes only the line it
/// concerns, keeping every other byte. Values are UTF-8; a value ends at a
/// NUL byte, and a UTF-8 byte order mark before the first line is ignored.
/// A file larger than kMaxFileSize counts as unreadable (every key reads as
/// its default), so a stray huge file cannot stall or exhaust the program.
/// The module works on the file's content; its callers read and write it.
namespace Profile {

using Value = std::optional<QString>; // std::nullopt: the key has no value (delete it)
using Write = QPair<QString, Value>;  // key, value

constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

/// Value of `key` in `section` of `content`, or `def` when the section or
/// key is missing. Matching quotes around the value are removed and the
/// result is cut to `bufSize - 1` characters.
QString getString(const QByteArray& content, const QString& section, const QString& key,
                  const QString& def = QString(), int bufSize = 255);

/// `content` after writing `value` to `key` in `section`: in place when the
/// key exists, appended to the section otherwise, the section appended to
/// the end when missing; no value deletes the key's line.
QByteArray applyWrite(const QByteArray& content, const QString& section, const QString& key,
                      const Value& value);

/// Several writes in a row, as if each were made on its own.
QByteArray applyWrites(QByteArray content, const QString& section, const QList<Write>& writes);

/// Whether `content` has a section of that name.
bool hasSection(const QByteArray& content, const QString& section);

} // namespace Profile
