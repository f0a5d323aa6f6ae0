#pragma once

#include "platform/FileError.h"

#include <optional>
#include <utility>

/// A value, or the FileError that kept it from being made.
template <typename T> class FileResult
{
public:
    FileResult(T value) : m_value(std::move(value)) {}
    FileResult(FileError error) : m_error(std::move(error)) {}

    explicit operator bool() const { return m_value.has_value(); }
    T& operator*() { return *m_value; }
    const T& operator*() const { return *m_value; }
    T* operator->() { return &*m_value; }
    const T* operator->() const { return &*m_value; }
    const FileError& error() const { return m_error; }

private:
    std::optional<T> m_value;
    FileError m_error;
};
