#pragma once

#include <QString>

/// One queued file: three texts as shown, plus an id that tells rows apart
/// (the same file may be queued twice).
struct QueueRow
{
    QString name;   // "Filename": the file's name without folder
    QString folder; // "Location": the folder, always ending in "/"
    QString size;   // "Filesize (in MB)": size when added, "0.00" in the user's locale
    quint64 id = 0; // assigned by the model; unique for the model's life

    QString fullPath() const { return folder + name; }
};
