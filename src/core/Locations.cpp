#include "core/Locations.h"

#include "Product.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

Locations Locations::portable(const QString& folder)
{
    Locations l;
    l.settingsFolder = folder;
    l.readme = folder + QLatin1Char('/') + Product::kReadmeFileName;
    l.firstStartFolder = folder;
    return l;
}

Locations Locations::of(const QString& exeFolder)
{
    const Locations beside = portable(exeFolder);
    const QString installedReadme =
        QDir::cleanPath(exeFolder + QLatin1Char('/') + Product::kReadmeFromBin);
    if (QFileInfo::exists(beside.settingsFile()) || !QFileInfo::exists(installedReadme))
        return beside;
    Locations l;
    l.installed = true;
    l.settingsFolder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                       QStringLiteral("/reelbind");
    l.readme = installedReadme;
    const QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    l.firstStartFolder = !videos.isEmpty() && QFileInfo(videos).isDir()
                             ? videos
                             : QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    return l;
}

QString Locations::settingsFile() const
{
    return settingsFolder + QLatin1Char('/') + Product::kSettingsFileName;
}
