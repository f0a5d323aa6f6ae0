#pragma once

#include <QString>

/// Small text splitters used to take paths apart into folder and name.
///
/// Positions are 1-based; 0 means "the delimiter does not occur". Matching is
/// exact and case-sensitive. The delimiter is one character ("/" for paths,
/// QChar(0) for NUL-separated lists); an empty delimiter never occurs, and a
/// longer one is searched for as a whole.
namespace StrFunc {

/// Position of the last occurrence of `delim` in `text`, or 0.
int lastInStr(const QString& text, const QString& delim);

/// Characters before the last occurrence.
/// Throws std::invalid_argument when `delim` does not occur in `text`
/// (including the empty text): there is no "left of" then.
QString leftOfLast(const QString& text, const QString& delim);

/// Characters after the last occurrence; the whole text when absent.
QString rightOfLast(const QString& text, const QString& delim);

/// As the settings keep a folder: the folder of the full path `path`,
/// without a final "/", except the root, which stays "/"; empty when the
/// path has no "/".
QString folderOf(const QString& path);

} // namespace StrFunc
