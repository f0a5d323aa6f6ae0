#include "core/StrFunc.h"

#include <stdexcept>

namespace StrFunc {

namespace {
// Plain searches: Qt 6.4 (as in Debian 12) QString::lastIndexOf misses or invents matches
// for a NUL needle, which separates the names in a dialog's answer.
int firstPos(const QString& text, const QString& delim)
{
    const qsizetype n = delim.size();
    if (n == 0)
        return 0;
    const QStringView t(text);
    for (qsizetype i = 0; i + n <= t.size(); ++i)
        if (t.mid(i, n) == delim)
            return int(i + 1);
    return 0;
}
} // namespace

int LastInStr(const QString& text, const QString& delim)
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

QString LeftOf(const QString& text, const QString& delim)
{
    const int p = firstPos(text, delim);
    return p == 0 ? text : text.left(p - 1);
}

QString RightOf(const QString& text, const QString& delim)
{
    const int p = firstPos(text, delim);
    return p == 0 ? text : text.mid(p - 1 + delim.size());
}

QString LeftOfLast(const QString& text, const QString& delim)
{
    const int q = LastInStr(text, delim);
    if (q == 0)
        throw std::invalid_argument("LeftOfLast: delimiter not found");
    return text.left(q - 1);
}

QString RightOfLast(const QString& text, const QString& delim)
{
    const int q = LastInStr(text, delim);
    return q == 0 ? text : text.mid(q - 1 + delim.size());
}

} // namespace StrFunc
