#include "core/text/StrFunc.h"

#include <stdexcept>

namespace StrFunc {

int lastInStr(const QString& text, const QString& delim)
{
    const qsizetype n = delim.size();
    if (n == 0)
        return 0;
    const QStringView t(text);
    for (qsizetype i = t.size() - n; i >= 0; --i)
        if (t.mid(i, n) == delim)
            return int(i + 1);
    return 0;
}

QString leftOfLast(const QString& text, const QString& delim)
{
    const int q = lastInStr(text, delim);
    if (q == 0)
        throw std::invalid_argument("leftOfLast: delimiter not found");
    return text.left(q - 1);
}

QString rightOfLast(const QString& text, const QString& delim)
{
    const int q = lastInStr(text, delim);
    return q == 0 ? text : text.mid(q - 1 + delim.size());
}

QString folderOf(const QString& path)
{
    if (lastInStr(path, QStringLiteral("/")) == 0)
        return QString();
    const QString folder = leftOfLast(path, QStringLiteral("/"));
    return folder.isEmpty() ? QStringLiteral("/") : folder;
}

} // namespace StrFunc
