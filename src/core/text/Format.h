#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QLocale;

/// Numbers as the user sees them, in the user's locale (QLocale()).
namespace Format {

/// "0.00": two decimals, the locale's decimal separator, no grouping.
QString fixed2(double value);

/// Bytes as mebibytes, "0.00".
QString megabytes(qint64 bytes);

/// "##,###": a whole number with the locale's grouping.
QString grouped(qint64 value);

/// The fraction times 100, rounded: the number percent() shows.
int wholePercent(double fraction);

/// "0%": wholePercent() in the locale's digits, with the sign where the
/// language puts it.
QString percent(double fraction);

/// Reads back a "0.00" text written by fixed2 in the same locale.
std::optional<double> readFixed(const QString& text);
/// The same with a locale the caller holds (for reading many texts).
std::optional<double> readFixed(const QString& text, const QLocale& locale);

/// "Estimated Joined Filesize:  " + fixed2(mb) + " MB".
QString estimateCaption(double mb);

/// "Chunk Size: " + grouped(bytes) + " bytes".
QString chunkCaption(int bytes);

/// "file: reason", an item of a list of files that failed.
QString fileProblem(const QString& file, const QString& reason);

/// A message of `head` and one line per item, listing at most `maxListed`
/// items and then "... and N more.", so the box fits on the screen.
QString listMessage(const QString& head, const QStringList& items, int maxListed = 15);

} // namespace Format
