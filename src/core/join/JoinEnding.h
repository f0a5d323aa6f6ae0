#pragma once

/// How a join ended (None while it has not, or before the first). Mismatched:
/// the joined file was made and kept, but it does not match the checksum of
/// the whole that a checksum file beside the parts gives (JoinSums).
enum class JoinEnding { None, NoTarget, NoSpace, Joined, Mismatched, Cancelled, Failed };
