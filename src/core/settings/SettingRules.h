#pragma once

#include "core/settings/Settings.h"

#include <QString>

/// Conversions from stored texts to numbers.
namespace SettingRules {

/// The number a text starts with: leading blanks skipped, an optional sign,
/// digits with an optional "." fraction and exponent; 0 when the text does
/// not start with a number, +-infinity when it is too big for a double.
double leadingNumber(const QString& text);

/// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double v);

/// Check state (0 clear, 1 ticked, 2 greyed) of a stored text. Anything
/// that does not round to 0, 1 or 2 counts as 0.
int checkStateOf(const Settings::Field& text);

/// Chunk size of a stored text (its rounded leading number), clamped into
/// kChunkMin..kChunkMax; a text without a number gives kChunkMin.
int chunkSizeOf(const Settings::Field& text);

/// Whether the whole text (surrounding blanks allowed) is a number equal to
/// 1: "1", " 1 ", "1.0" are; "", "1x", "01x" are not.
bool wholeTextIsOne(const Settings::Field& text);

} // namespace SettingRules
