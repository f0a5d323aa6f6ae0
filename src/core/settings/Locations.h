#pragma once

#include <QString>

class FileLookup;

/// Where the program keeps its files, decided once at start-up.
///
/// Portable (as the classic program did): the settings file lies beside the
/// executable, the user's guide too, and a first start takes that folder as
/// both default folders. That holds when a settings file is already there,
/// or when the program does not run from an installed tree (the build
/// folder, a copied folder).
///
/// Installed: the program finds its installed user's guide relative to its
/// own folder (bin/../share/doc/reelbind), so a package, an install into
/// any prefix and a moved prefix all count. Then the settings file lives in
/// $XDG_CONFIG_HOME/reelbind (by default ~/.config/reelbind), nothing is
/// written beside the executable, and a first start takes the user's Videos
/// folder (home when there is none) as both default folders.
struct Locations
{
    bool installed = false;
    QString settingsFolder;
    QString readme;
    QString firstStartFolder;

    /// The locations of a program whose executable lies in `exeFolder`.
    static Locations of(const QString& exeFolder, FileLookup& files);
    /// Everything in `folder`, as a portable program there has it.
    static Locations portable(const QString& folder);

    QString settingsFile() const;
};
