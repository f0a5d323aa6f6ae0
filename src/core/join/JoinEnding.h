#pragma once

/// How a join ended (None while it has not, or before the first).
enum class JoinEnding { None, NoTarget, NoSpace, Joined, Cancelled, Failed };
