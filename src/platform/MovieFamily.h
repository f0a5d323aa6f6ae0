#pragma once

/// The containers a movie of parts can be written as: each part's own. M4a
/// and Mka are MP4 and Matroska holding sound without pictures.
enum class MovieFamily { None, Mp4, Mov, Matroska, WebM, M4a, Mka };

/// Whether a file of `family` holds sound alone.
inline bool soundOnly(MovieFamily family)
{
    return family == MovieFamily::M4a || family == MovieFamily::Mka;
}
