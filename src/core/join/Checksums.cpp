#include "core/join/Checksums.h"

#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>

namespace {

int hexDigits(Checksums::Kind kind)
{
    switch (kind) {
    case Checksums::Kind::Crc32:
        return 8;
    case Checksums::Kind::Md5:
        return 32;
    case Checksums::Kind::Sha1:
        return 40;
    default:
        return 64;
    }
}

} // namespace

bool Checksums::ForJoin::any() const
{
    return whole || std::any_of(parts.begin(), parts.end(), [](const auto& s) { return bool(s); });
}

std::optional<Checksums::Kind> Checksums::kindOf(const QString& path)
{
    const QString ending = path.section(QLatin1Char('.'), -1).toLower();
    if (ending == QLatin1String("md5"))
        return Kind::Md5;
    if (ending == QLatin1String("sha1"))
        return Kind::Sha1;
    if (ending == QLatin1String("sha256"))
        return Kind::Sha256;
    if (ending == QLatin1String("sfv"))
        return Kind::Crc32;
    return std::nullopt;
}

QList<Checksums::Line> Checksums::parse(const QString& path, const QByteArray& content)
{
    const std::optional<Kind> kind = kindOf(path);
    if (!kind)
        return {};
    static const QRegularExpression sumFirst(
        QStringLiteral("^([0-9A-Fa-f]+)(?: [ *](.+))?$"));
    static const QRegularExpression sumLast(QStringLiteral("^(.+?)\\s+([0-9A-Fa-f]{8})$"));
    const bool sfv = *kind == Kind::Crc32;
    const QString fileName = QFileInfo(path).fileName();
    QList<Line> lines;
    // Files made on Windows: a byte order mark, CR LF line ends.
    for (QByteArray raw : content.mid(content.startsWith("\xEF\xBB\xBF") ? 3 : 0).split('\n')) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QString text = QFile::decodeName(raw);
        if (text.trimmed().isEmpty() || (sfv && text.startsWith(QLatin1Char(';'))))
            continue;
        const QRegularExpressionMatch m = (sfv ? sumLast : sumFirst).match(text);
        if (!m.hasMatch())
            return {};
        const QString hex = m.captured(sfv ? 2 : 1);
        QString name = m.captured(sfv ? 1 : 2);
        if (!sfv && name.isEmpty()) // a sum alone: name.md5's is name's
            name = fileName.left(fileName.lastIndexOf(QLatin1Char('.')));
        if (hex.size() != hexDigits(*kind) || name.isEmpty())
            return {};
        lines.append({name, {*kind, QByteArray::fromHex(hex.toLatin1()), path}});
    }
    return lines;
}

QString Checksums::setName(const QStringList& sources)
{
    static const QRegularExpression split(QStringLiteral("^(.+)\\.\\d{3,}$"));
    QString name;
    for (const QString& source : sources) {
        const QRegularExpressionMatch m = split.match(QFileInfo(source).fileName());
        if (!m.hasMatch() || (!name.isEmpty() && m.captured(1) != name))
            return QString();
        name = m.captured(1);
    }
    return name;
}

Checksums::ForJoin Checksums::find(FileSystem& files, const QStringList& sources,
                                   const QString& target)
{
    ForJoin found;
    found.parts.resize(sources.size());
    QHash<QString, QList<int>> partsAt; // a file queued twice is two parts
    QStringList folders;
    for (int i = 0; i < sources.size(); ++i) {
        const QString path = QDir::cleanPath(sources.at(i));
        partsAt[path].append(i);
        const QString folder = path.left(path.lastIndexOf(QLatin1Char('/')));
        if (!folders.contains(folder))
            folders << folder;
    }
    QStringList wholeNames = {QFileInfo(target).fileName(), setName(sources)};
    wholeNames.removeAll(QString());
    for (const QString& folder : std::as_const(folders)) {
        QStringList names = files.fileNames(folder.isEmpty() ? QStringLiteral("/") : folder);
        names.sort();
        for (const QString& name : std::as_const(names)) {
            if (!kindOf(name))
                continue;
            const QString path = folder + QLatin1Char('/') + name;
            const FileResult<QByteArray> content = files.readSmallFile(path, kMaxBytes);
            for (const Line& line : content ? parse(path, *content) : QList<Line>()) {
                const QString named = QDir::cleanPath(line.name);
                if (!found.whole && wholeNames.contains(named))
                    found.whole = line.sum;
                const QString at =
                    QDir::isAbsolutePath(named) ? named : folder + QLatin1Char('/') + named;
                for (const int i : partsAt.value(QDir::cleanPath(at)))
                    if (!found.parts.at(i))
                        found.parts[i] = line.sum;
            }
        }
    }
    return found;
}
