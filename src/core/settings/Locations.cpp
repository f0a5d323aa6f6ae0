#include "core/settings/Locations.h"

#include "Product.h"
#include "platform/FileLookup.h"

#include <QDir>
#include <QStandardPaths>

Locations Locations::portable(const QString& folder)
{
    Locations l;
    l.settingsFolder = folder;
    l.readme = folder + QLatin1Char('/') + Product::kReadmeFileName;
    l.firstStartFolder = folder;
    return l;
}

Locations Locations::of(const QString& exeFolder, FileLookup& files)
{
    const Locations beside = portable(exeFolder);
    const QString installedReadme =
        QDir::cleanPath(exeFolder + QLatin1Char('/') + Product::kReadmeFromBin);
    if (files.identity(beside.settingsFile()).exists || !files.identity(installedReadme).exists)
        return beside;
    Locations l;
    l.installed = true;
    l.settingsFolder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                       QStringLiteral("/reelbind");
    l.readme = installedReadme;
    const QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    l.firstStartFolder = !videos.isEmpty() && files.identity(videos).folder
                             ? videos
                             : QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    return l;
}

QString Locations::settingsFile() const
{
    return settingsFolder + QLatin1Char('/') + Product::kSettingsFileName;
}
