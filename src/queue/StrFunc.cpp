#include "queue/StrFunc.h"

#include <stdexcept>

namespace StrFunc {

namespace {
int firstPos(const QString& text, const QString& delim)
{
    if (delim.isEmpty())
        return 0;
    return text.indexOf(delim) + 1;
}
} // namespace

int LastInStr(const QString& text, const QString& delim)
{
    if (delim.isEmpty())
        return 0;
    return text.lastIndexOf(delim) + 1;
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
