#include "gui/Desktop.h"

#include <QCoreApplication>

Desktop::~Desktop() = default;

QStringList Desktop::addFilters()
{
    // MPEG program, video and transport streams, MP3 and Ogg, which join by bytes; the MP4 and
    // Matroska families, which join as one movie; the kinds the question names. Qt's file
    // dialogs match them whatever the case (a camera's .MTS and .MP4).
    const QString kinds = QStringLiteral(
        "*.mpg *.mpeg *.vob *.dat *.mod *.m1v *.m2v *.ts *.m2ts *.mts *.mp3 *.ogg *.ogv *.mp4 "
        "*.m4v *.m4a *.mov *.3gp *.mkv *.mka *.webm *.avi *.wav *.flv *.asf *.wmv");
    return QStringList{QCoreApplication::translate("Desktop", "Movie Files (%1)").arg(kinds)} +
           movieFilters();
}

QStringList Desktop::movieFilters(const QString& first)
{
    return {first.isEmpty() ? QCoreApplication::translate("Desktop", "MPG Files (*.mpg)") : first,
            QCoreApplication::translate("Desktop", "All Files (*)")};
}
