#pragma once

/// The containers a movie of parts can be written as: each part's own.
enum class MovieFamily { None, Mp4, Mov, Matroska, WebM };
