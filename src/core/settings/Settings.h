#pragma once

#include "core/settings/SettingTable.h"

#include <QString>
#include <array>
#include <optional>

/// The stored preferences: one text per setting, each possibly without a
/// value (the file then has no line for it).
struct Settings
{
    using Field = std::optional<QString>;

    Field& operator[](SettingId id) { return m_fields[size_t(id)]; }
    const Field& operator[](SettingId id) const { return m_fields[size_t(id)]; }
    bool operator==(const Settings& o) const { return m_fields == o.m_fields; }

    /// First start: every setting at its first-start value, both folders `folder`.
    static Settings defaults(const QString& folder);

private:
    std::array<Field, kSettingCount> m_fields;
};
