#include "core/text/Format.h"

#include <QCoreApplication>
#include <QLocale>
#include <cmath>

namespace Format {

QString fixed2(double value)
{
    QLocale loc;
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    return loc.toString(value, 'f', 2);
}

QString megabytes(qint64 bytes)
{
    return fixed2(static_cast<double>(bytes) / 1048576.0);
}

QString grouped(qint64 value)
{
    QLocale loc;
    loc.setNumberOptions(QLocale::DefaultNumberOptions);
    return loc.toString(value);
}

int wholePercent(double fraction)
{
    return int(std::llround(fraction * 100.0));
}

QString percent(double fraction)
{
    // Where the sign stands, and how far from the number, is the language's.
    return QCoreApplication::translate("Format", "%1%")
        .arg(QLocale().toString(wholePercent(fraction)));
}

std::optional<double> readFixed(const QString& text)
{
    return readFixed(text, QLocale());
}

std::optional<double> readFixed(const QString& text, const QLocale& locale)
{
    bool ok = false;
    const double v = locale.toDouble(text, &ok);
    if (ok)
        return v;
    return std::nullopt;
}

QString estimateCaption(double mb)
{
    return QCoreApplication::translate("Format", "Estimated Joined Filesize:  %1 MB")
        .arg(fixed2(mb));
}

QString chunkCaption(int bytes)
{
    return QCoreApplication::translate("Format", "Chunk Size: %1 bytes").arg(grouped(bytes));
}

QString fileProblem(const QString& file, const QString& reason)
{
    return QCoreApplication::translate("Format", "%1: %2").arg(file, reason);
}

QString listMessage(const QString& head, const QStringList& items, int maxListed)
{
    QStringList lines = items.mid(0, maxListed);
    if (items.size() > maxListed)
        lines << QCoreApplication::translate("Format", "... and %n more.", nullptr,
                                             int(items.size() - maxListed));
    return head + QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
}

} // namespace Format
