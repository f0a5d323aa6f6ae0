<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>%1 joins movie files into one, byte for byte. It is freeware: you may use it and share it with others free of charge.</source>
        <translation>%1 verbindet Filmdateien Byte für Byte zu einer Datei. Es ist Freeware: Sie dürfen es kostenlos nutzen und an andere weitergeben.</translation>
    </message>
    <message>
        <source>This program is provided as is, without warranty of any kind. Keep copies of the files that matter to you.</source>
        <translation>Dieses Programm wird so, wie es ist, ohne jegliche Gewährleistung bereitgestellt. Bewahren Sie Kopien der Dateien auf, die Ihnen wichtig sind.</translation>
    </message>
    <message>
        <source>Version %1.%2.%3b For Windows 95/98/NT</source>
        <translation>Version %1.%2.%3b für Windows 95/98/NT</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>AfterJoin</name>
    <message numerus="yes">
        <source>These files could not be deleted:</source>
        <translation>
            <numerusform>Diese Datei konnte nicht gelöscht werden:</numerusform>
            <numerusform>Diese Dateien konnten nicht gelöscht werden:</numerusform>
        </translation>
    </message>
    <message>
        <source>it is no longer the file the join wrote</source>
        <translation>sie ist nicht mehr die Datei, die beim Verbinden geschrieben wurde</translation>
    </message>
    <message>
        <source>The joined file %1 could not be made safe on disk: %2. No source file was deleted.</source>
        <translation>Die verbundene Datei %1 konnte nicht sicher auf den Datenträger geschrieben werden: %2. Es wurde keine Quelldatei gelöscht.</translation>
    </message>
    <message>
        <source>it was changed after it was joined, so it was kept</source>
        <translation>sie wurde nach dem Verbinden geändert und wurde deshalb behalten</translation>
    </message>
    <message numerus="yes">
        <source>No trash takes these files:</source>
        <translation>
            <numerusform>Diese Datei kann in keinen Papierkorb verschoben werden:</numerusform>
            <numerusform>Diese Dateien können in keinen Papierkorb verschoben werden:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Delete them for good? They cannot be brought back.</source>
        <translation>
            <numerusform>Die Datei endgültig löschen? Dies kann nicht rückgängig gemacht werden.</numerusform>
            <numerusform>Die Dateien endgültig löschen? Dies kann nicht rückgängig gemacht werden.</numerusform>
        </translation>
    </message>
    <message>
        <source>The join into %1 did not succeed. No source file was deleted.</source>
        <translation>Das Verbinden zu %1 ist nicht gelungen. Es wurde keine Quelldatei gelöscht.</translation>
    </message>
</context>
<context>
    <name>CommandLineJoin</name>
    <message>
        <source>these files cannot be joined as one movie: only MP4/MOV parts, or only Matroska/WebM parts, can.</source>
        <translation>diese Dateien können nicht zu einem Film verbunden werden: Das ist nur mit reinen MP4/MOV-Teilen oder reinen Matroska/WebM-Teilen möglich.</translation>
    </message>
    <message>
        <source>these files cannot be joined as one movie: %1.</source>
        <translation>diese Dateien können nicht zu einem Film verbunden werden: %1.</translation>
    </message>
    <message numerus="yes">
        <source>reelbind: joining %1: %2 (file %3 of %n)</source>
        <translation>
            <numerusform>reelbind: Verbinden zu %1: %2 (Datei %3 von %n)</numerusform>
            <numerusform>reelbind: Verbinden zu %1: %2 (Datei %3 von %n)</numerusform>
        </translation>
    </message>
    <message>
        <source>the join to %1 was stopped; nothing was written.</source>
        <translation>das Verbinden zu %1 wurde abgebrochen; es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>the join to %1 did not start.</source>
        <translation>das Verbinden zu %1 wurde nicht gestartet.</translation>
    </message>
    <message>
        <source>%1: kept, because no trash takes it.</source>
        <translation>%1: behalten, weil sie in keinen Papierkorb verschoben werden kann.</translation>
    </message>
</context>
<context>
    <name>Desktop</name>
    <message>
        <source>Movie Files (%1)</source>
        <translation>Filmdateien (%1)</translation>
    </message>
    <message>
        <source>MPG Files (*.mpg)</source>
        <translation>MPG-Dateien (*.mpg)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
</context>
<context>
    <name>Ffmpeg</name>
    <message>
        <source>its streams are not those of the first part</source>
        <translation>ihre Spuren stimmen nicht mit denen des ersten Teils überein</translation>
    </message>
    <message>
        <source>it ends before its last picture or sound, it is damaged or cut short</source>
        <translation>sie endet vor ihrem letzten Bild oder Ton und ist daher beschädigt oder abgeschnitten</translation>
    </message>
</context>
<context>
    <name>FileError</name>
    <message>
        <source>Not a regular file</source>
        <translation>Keine reguläre Datei</translation>
    </message>
</context>
<context>
    <name>Format</name>
    <message>
        <source>%1%</source>
        <translation>%1&#xa0;%</translation>
    </message>
    <message>
        <source>Estimated Joined Filesize:  %1 MB</source>
        <translation>Geschätzte Gesamtgröße:  %1 MB</translation>
    </message>
    <message>
        <source>Chunk Size: %1 bytes</source>
        <translation>Blockgröße: %1 Bytes</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>… und %n weitere.</numerusform>
            <numerusform>… und %n weitere.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>JoinChecks</name>
    <message>
        <source>The drive you have selected does not have enough free space to save the joined movie to.</source>
        <translation>Auf dem ausgewählten Laufwerk ist nicht genug freier Speicherplatz, um den verbundenen Film zu speichern.</translation>
    </message>
    <message>
        <source>The target file is one of the files to be joined. Please choose another target file.</source>
        <translation>Die Zieldatei ist eine der zu verbindenden Dateien. Bitte wählen Sie eine andere Zieldatei.</translation>
    </message>
    <message>
        <source>The target %1 is not a regular file. Please choose another target file.</source>
        <translation>Das Ziel %1 ist keine reguläre Datei. Bitte wählen Sie eine andere Zieldatei.</translation>
    </message>
</context>
<context>
    <name>JoinPace</name>
    <message>
        <source>%1 MB/s</source>
        <translation>%1 MB/s</translation>
    </message>
    <message>
        <source>%1, about %2 left</source>
        <translation>%1, noch etwa %2</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 min %2 s</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1 h %2 min</translation>
    </message>
</context>
<context>
    <name>JoinQueue</name>
    <message numerus="yes">
        <source>These files were not added to the queue:</source>
        <translation>
            <numerusform>Diese Datei wurde nicht zur Warteschlange hinzugefügt:</numerusform>
            <numerusform>Diese Dateien wurden nicht zur Warteschlange hinzugefügt:</numerusform>
        </translation>
    </message>
    <message>
        <source>Can&apos;t move the selected item above the beginning of the list.</source>
        <translation>Der ausgewählte Eintrag kann nicht über den Anfang der Liste hinaus verschoben werden.</translation>
    </message>
    <message>
        <source>Can&apos;t move the selected item below the end of the list.</source>
        <translation>Der ausgewählte Eintrag kann nicht über das Ende der Liste hinaus verschoben werden.</translation>
    </message>
</context>
<context>
    <name>JoinSession</name>
    <message>
        <source>File %1 has successfully been joined!</source>
        <translation>Die Datei %1 wurde erfolgreich verbunden!</translation>
    </message>
    <message>
        <source>Operation aborted by user</source>
        <translation>Vorgang vom Benutzer abgebrochen</translation>
    </message>
    <message>
        <source>Joining Files...Done!</source>
        <translation>Dateien werden verbunden … Fertig!</translation>
    </message>
    <message>
        <source>Joining Files...Cancelled!</source>
        <translation>Dateien werden verbunden … Abgebrochen!</translation>
    </message>
    <message>
        <source>Joining Files...Failed!</source>
        <translation>Dateien werden verbunden … Fehlgeschlagen!</translation>
    </message>
    <message>
        <source>Joining Files...</source>
        <translation>Dateien werden verbunden …</translation>
    </message>
</context>
<context>
    <name>JoinStatusDialog</name>
    <message>
        <source>Joining Files...</source>
        <translation>Dateien werden verbunden …</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Current file</source>
        <translation>Aktuelle Datei</translation>
    </message>
    <message>
        <source>All files</source>
        <translation>Alle Dateien</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>View Joined MPG</source>
        <translation>MPG ansehen</translation>
    </message>
    <message>
        <source>Delete Source Files</source>
        <translation>Quellen löschen</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Now joining file: %1 to %2 as one movie</source>
        <translation>Datei wird zu einem Film verbunden: %1 nach %2</translation>
    </message>
    <message>
        <source>Now joining file: %1 to %2 using a chunk size of %3 bytes</source>
        <translation>Datei wird verbunden: %1 nach %2 mit einer Blockgröße von %3 Bytes</translation>
    </message>
    <message>
        <source>Delete Source Files?</source>
        <translation>Quelldateien löschen?</translation>
    </message>
    <message>
        <source>Are you sure you want to delete the source files?  These files will be moved to the trash.</source>
        <translation>Möchten Sie die Quelldateien wirklich löschen? Die Dateien werden in den Papierkorb verschoben.</translation>
    </message>
</context>
<context>
    <name>JoinSums</name>
    <message>
        <source>The checksum in %1 matches.</source>
        <translation>Die Prüfsumme in %1 stimmt überein.</translation>
    </message>
    <message>
        <source>The parts&apos; checksums in %1 match.</source>
        <translation>Die Prüfsummen der Teile in %1 stimmen überein.</translation>
    </message>
    <message>
        <source>The joined file %1 does not match the checksum in %2.</source>
        <translation>Die verbundene Datei %1 stimmt nicht mit der Prüfsumme in %2 überein.</translation>
    </message>
    <message>
        <source>The joined file was kept, but one of its parts may be damaged.</source>
        <translation>Die verbundene Datei wurde behalten, aber einer ihrer Teile ist möglicherweise beschädigt.</translation>
    </message>
</context>
<context>
    <name>JoinTarget</name>
    <message>
        <source>it holds %1 bytes where %2 were written</source>
        <translation>sie enthält %1 Bytes, geschrieben wurden aber %2</translation>
    </message>
    <message>
        <source>Could not read the size of file %1: %2.</source>
        <translation>Die Größe der Datei %1 konnte nicht ermittelt werden: %2.</translation>
    </message>
    <message>
        <source>Could not open file %1: %2.</source>
        <translation>Die Datei %1 konnte nicht geöffnet werden: %2.</translation>
    </message>
    <message>
        <source>Could not read file %1: %2.</source>
        <translation>Die Datei %1 konnte nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>Could not read file %1: it ended early, it was changed during the join.</source>
        <translation>Die Datei %1 konnte nicht gelesen werden: Sie endete zu früh; sie wurde während des Verbindens geändert.</translation>
    </message>
    <message>
        <source>Could not read file %1: it grew while it was read, it was changed during the join.</source>
        <translation>Die Datei %1 konnte nicht gelesen werden: Sie wurde beim Lesen größer; sie wurde während des Verbindens geändert.</translation>
    </message>
    <message>
        <source>Could not read file %1: it was changed during the join.</source>
        <translation>Die Datei %1 konnte nicht gelesen werden: Sie wurde während des Verbindens geändert.</translation>
    </message>
    <message>
        <source>Could not read file %1 as a movie: %2.</source>
        <translation>Die Datei %1 konnte nicht als Film gelesen werden: %2.</translation>
    </message>
    <message>
        <source>Could not copy file %1 into the target file %2: %3.</source>
        <translation>Die Datei %1 konnte nicht in die Zieldatei %2 kopiert werden: %3.</translation>
    </message>
    <message>
        <source>Could not get the memory to join into %1: %2.</source>
        <translation>Der Arbeitsspeicher für das Verbinden zu %1 konnte nicht belegt werden: %2.</translation>
    </message>
    <message>
        <source>Could not create the target file %1: %2.</source>
        <translation>Die Zieldatei %1 konnte nicht erstellt werden: %2.</translation>
    </message>
    <message>
        <source>Could not write to the target file %1: %2.</source>
        <translation>In die Zieldatei %1 konnte nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>Could not close the target file %1: %2.</source>
        <translation>Die Zieldatei %1 konnte nicht geschlossen werden: %2.</translation>
    </message>
    <message>
        <source>Could not finish the target file %1: %2.</source>
        <translation>Die Zieldatei %1 konnte nicht fertiggestellt werden: %2.</translation>
    </message>
    <message>
        <source>Could not give the joined file the name %1: %2.</source>
        <translation>Der verbundenen Datei konnte nicht der Name %1 gegeben werden: %2.</translation>
    </message>
    <message>
        <source>Could not finish the target file %1: another program put a file in its place at the end of the join.</source>
        <translation>Die Zieldatei %1 konnte nicht fertiggestellt werden: Ein anderes Programm hat am Ende des Verbindens eine Datei an ihre Stelle gesetzt.</translation>
    </message>
    <message>
        <source>The target file %1 does not hold the joined files.</source>
        <translation>Die Zieldatei %1 enthält nicht die verbundenen Dateien.</translation>
    </message>
    <message>
        <source>The target file %1 was left unchanged.</source>
        <translation>Die Zieldatei %1 wurde nicht verändert.</translation>
    </message>
    <message>
        <source>The target file %1 was not created.</source>
        <translation>Die Zieldatei %1 wurde nicht erstellt.</translation>
    </message>
    <message>
        <source>The target file %1 holds what was joined before the cancel.</source>
        <translation>Die Zieldatei %1 enthält, was bis zum Abbrechen verbunden wurde.</translation>
    </message>
    <message>
        <source>Could not join file %1: it does not match its checksum in %2.</source>
        <translation>Die Datei %1 konnte nicht verbunden werden: Sie stimmt nicht mit ihrer Prüfsumme in %2 überein.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Chunk size in bytes</source>
        <translation>Blockgröße in Bytes</translation>
    </message>
    <message>
        <source>Files to join</source>
        <translation>Zu verbindende Dateien</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Join</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Useful Links</source>
        <translation>Nützliche Links</translation>
    </message>
    <message>
        <source>ZIDA FAQ</source>
        <translation>ZIDA-FAQ</translation>
    </message>
    <message>
        <source>Brightwater&apos;s I.263 Site</source>
        <translation>Brightwaters I.263-Website</translation>
    </message>
    <message>
        <source>Marlowe&apos;s IR21 and Tesk&apos;s Power Post/Join</source>
        <translation>Marlowes IR21 und Tesks Power Post/Join</translation>
    </message>
    <message>
        <source>Intel&apos;s I.263 video CODEC (without IMC audio)</source>
        <translation>Intels I.263-Video-CODEC (ohne IMC-Audio)</translation>
    </message>
    <message>
        <source>Intel Indeo CODECs (IV3.x, IV4.x, IV5)</source>
        <translation>Intel-Indeo-CODECs (IV3.x, IV4.x, IV5)</translation>
    </message>
    <message>
        <source>Free Agent (Newsreader)</source>
        <translation>Free Agent (Newsreader)</translation>
    </message>
    <message>
        <source>Get The Latest Version of %1</source>
        <translation>Neueste Version von %1 herunterladen</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>View Readme File</source>
        <translation>Readme-Datei anzeigen</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>View Selecte File</source>
        <translation>Ausgewählte Datei ansehen</translation>
    </message>
    <message>
        <source>Remove Selected File(s)</source>
        <translation>Ausgewählte Datei(en) entfernen</translation>
    </message>
</context>
<context>
    <name>MovieKind</name>
    <message>
        <source>MPEG program stream</source>
        <translation>MPEG-Programmstrom</translation>
    </message>
    <message>
        <source>MPEG video stream</source>
        <translation>MPEG-Videostrom</translation>
    </message>
    <message>
        <source>MPEG transport stream</source>
        <translation>MPEG-Transportstrom</translation>
    </message>
    <message>
        <source>M2TS transport stream</source>
        <translation>M2TS-Transportstrom</translation>
    </message>
    <message>
        <source>MP3 audio</source>
        <translation>MP3-Audio</translation>
    </message>
    <message>
        <source>Ogg</source>
        <translation>Ogg</translation>
    </message>
    <message>
        <source>MP4/MOV</source>
        <translation>MP4/MOV</translation>
    </message>
    <message>
        <source>Matroska/WebM</source>
        <translation>Matroska/WebM</translation>
    </message>
    <message>
        <source>AVI</source>
        <translation>AVI</translation>
    </message>
    <message>
        <source>WAV</source>
        <translation>WAV</translation>
    </message>
    <message>
        <source>FLV</source>
        <translation>FLV</translation>
    </message>
    <message>
        <source>ASF/WMV</source>
        <translation>ASF/WMV</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source>These files will not play as one movie when joined byte by byte:</source>
        <translation>Byteweise verbunden lassen sich diese Dateien nicht als ein Film abspielen:</translation>
    </message>
    <message>
        <source>Join as One Movie copies their sound into one new file that plays all parts, smoothed where one part meets the next so that it plays on without a gap. With Join Bytes Anyway the joined file will most likely play only its first part.</source>
        <translation>Zu einem Film verbinden: Der Ton der Dateien wird in eine neue Datei kopiert, die alle Teile abspielt, und dort, wo ein Teil auf den nächsten folgt, geglättet, sodass er ohne Lücke weiterläuft. Trotzdem byteweise verbinden: Von der verbundenen Datei wird höchstwahrscheinlich nur der erste Teil abgespielt.</translation>
    </message>
    <message>
        <source>Join as One Movie copies their sound unchanged into one new file that plays all parts. With Join Bytes Anyway the joined file will most likely play only its first part.</source>
        <translation>Zu einem Film verbinden: Der Ton der Dateien wird unverändert in eine neue Datei kopiert, die alle Teile abspielt. Trotzdem byteweise verbinden: Von der verbundenen Datei wird höchstwahrscheinlich nur der erste Teil abgespielt.</translation>
    </message>
    <message>
        <source>Join as One Movie copies their pictures unchanged into one new file that plays all parts, and smooths the sound where one part meets the next so that it plays on without a gap. With Join Bytes Anyway the joined file will most likely play only its first part.</source>
        <translation>Zu einem Film verbinden: Die Bilder der Dateien werden unverändert in eine neue Datei kopiert, die alle Teile abspielt; der Ton wird dort, wo ein Teil auf den nächsten folgt, geglättet, sodass er ohne Lücke weiterläuft. Trotzdem byteweise verbinden: Von der verbundenen Datei wird höchstwahrscheinlich nur der erste Teil abgespielt.</translation>
    </message>
    <message>
        <source>Join as One Movie copies their pictures and sound unchanged into one new file that plays all parts. With Join Bytes Anyway the joined file will most likely play only its first part.</source>
        <translation>Zu einem Film verbinden: Bild und Ton der Dateien werden unverändert in eine neue Datei kopiert, die alle Teile abspielt. Trotzdem byteweise verbinden: Von der verbundenen Datei wird höchstwahrscheinlich nur der erste Teil abgespielt.</translation>
    </message>
    <message>
        <source>The new file leaves out what it cannot carry: %1.</source>
        <translation>Was die neue Datei nicht aufnehmen kann, wird weggelassen: %1.</translation>
    </message>
    <message>
        <source>The joined file will most likely play only its first part, because files of these kinds keep an index or a length of their own.</source>
        <translation>Von der verbundenen Datei wird höchstwahrscheinlich nur der erste Teil abgespielt, weil Dateien dieser Arten einen eigenen Index oder eine eigene Längenangabe haben.</translation>
    </message>
    <message>
        <source>The joined file will most likely stop playing where the first kind of file ends.</source>
        <translation>Die Wiedergabe der verbundenen Datei endet höchstwahrscheinlich dort, wo die Dateien der ersten Art enden.</translation>
    </message>
    <message>
        <source>They cannot be joined as one movie: %1.</source>
        <translation>Die Dateien lassen sich nicht zu einem Film verbinden: %1.</translation>
    </message>
    <message>
        <source>Join them anyway?</source>
        <translation>Trotzdem verbinden?</translation>
    </message>
    <message>
        <source>Join as One Movie</source>
        <translation>Zu einem Film verbinden</translation>
    </message>
    <message>
        <source>Join Bytes Anyway</source>
        <translation>Trotzdem byteweise verbinden</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Join Files?</source>
        <translation>Dateien verbinden?</translation>
    </message>
</context>
<context>
    <name>MovieModule</name>
    <message>
        <source>unknown reason</source>
        <translation>unbekannter Grund</translation>
    </message>
    <message>
        <source>the movie module %1 cannot be loaded: %2</source>
        <translation>das Filmmodul %1 kann nicht geladen werden: %2</translation>
    </message>
    <message>
        <source>the movie module %1 was not found in %2</source>
        <translation>das Filmmodul %1 wurde nicht in %2 gefunden</translation>
    </message>
    <message>
        <source>it has no entry point %1</source>
        <translation>es hat keinen Einstiegspunkt %1</translation>
    </message>
    <message>
        <source>it was built for version %1, the program is version %2</source>
        <translation>es wurde für Version %1 erstellt, das Programm hat Version %2</translation>
    </message>
    <message>
        <source>it made no engine</source>
        <translation>es hat keine Engine erzeugt</translation>
    </message>
</context>
<context>
    <name>MoviePlan</name>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source>%1 has no pictures, unlike the first part</source>
        <translation>%1 enthält im Gegensatz zum ersten Teil keine Bilder</translation>
    </message>
    <message>
        <source>%1 has pictures, unlike the first part</source>
        <translation>%1 enthält im Gegensatz zum ersten Teil Bilder</translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n picture stream(s); the first part has %2</source>
        <translation>
            <numerusform>%1 hat %n Bildspur, der erste Teil hat %2</numerusform>
            <numerusform>%1 hat %n Bildspuren, der erste Teil hat %2</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has %2 pictures; the first part has %3 pictures</source>
        <translation>%1 hat Bilder im Format %2, der erste Teil im Format %3</translation>
    </message>
    <message>
        <source>the pictures of %1 are encoded with other settings than the first part&apos;s</source>
        <translation>die Bilder von %1 sind mit anderen Einstellungen codiert als die des ersten Teils</translation>
    </message>
    <message>
        <source>pictures (%1)</source>
        <translation>Bilder (%1)</translation>
    </message>
    <message>
        <source>%1 has no sound, unlike the first part</source>
        <translation>%1 enthält im Gegensatz zum ersten Teil keinen Ton</translation>
    </message>
    <message>
        <source>%1 has sound, unlike the first part</source>
        <translation>%1 enthält im Gegensatz zum ersten Teil Ton</translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n sound stream(s); the first part has %2</source>
        <translation>
            <numerusform>%1 hat %n Tonspur, der erste Teil hat %2</numerusform>
            <numerusform>%1 hat %n Tonspuren, der erste Teil hat %2</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has %2 sound; the first part has %3 sound</source>
        <translation>%1 hat Ton im Format %2, der erste Teil im Format %3</translation>
    </message>
    <message>
        <source>the sound of %1 is encoded with other settings than the first part&apos;s</source>
        <translation>der Ton von %1 ist mit anderen Einstellungen codiert als der des ersten Teils</translation>
    </message>
    <message>
        <source>sound (%1)</source>
        <translation>Ton (%1)</translation>
    </message>
    <message>
        <source>%1 has no subtitles, unlike the first part</source>
        <translation>%1 enthält im Gegensatz zum ersten Teil keine Untertitel</translation>
    </message>
    <message>
        <source>%1 has subtitles, unlike the first part</source>
        <translation>%1 enthält im Gegensatz zum ersten Teil Untertitel</translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n subtitle stream(s); the first part has %2</source>
        <translation>
            <numerusform>%1 hat %n Untertitelspur, der erste Teil hat %2</numerusform>
            <numerusform>%1 hat %n Untertitelspuren, der erste Teil hat %2</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has %2 subtitles; the first part has %3 subtitles</source>
        <translation>%1 hat Untertitel im Format %2, der erste Teil im Format %3</translation>
    </message>
    <message>
        <source>the subtitles of %1 are encoded with other settings than the first part&apos;s</source>
        <translation>die Untertitel von %1 sind mit anderen Einstellungen codiert als die des ersten Teils</translation>
    </message>
    <message>
        <source>subtitles (%1)</source>
        <translation>Untertitel (%1)</translation>
    </message>
    <message>
        <source>%1 has no data streams, unlike the first part</source>
        <translation>%1 enthält im Gegensatz zum ersten Teil keine Datenspuren</translation>
    </message>
    <message>
        <source>%1 has data streams, unlike the first part</source>
        <translation>%1 enthält im Gegensatz zum ersten Teil Datenspuren</translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n data stream(s); the first part has %2</source>
        <translation>
            <numerusform>%1 hat %n Datenspur, der erste Teil hat %2</numerusform>
            <numerusform>%1 hat %n Datenspuren, der erste Teil hat %2</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has %2 data; the first part has %3 data</source>
        <translation>%1 hat Daten im Format %2, der erste Teil im Format %3</translation>
    </message>
    <message>
        <source>the data of %1 is encoded with other settings than the first part&apos;s</source>
        <translation>die Daten von %1 sind mit anderen Einstellungen codiert als die des ersten Teils</translation>
    </message>
    <message>
        <source>data (%1)</source>
        <translation>Daten (%1)</translation>
    </message>
    <message>
        <source>the streams of %1 are in another order than the first part&apos;s</source>
        <translation>die Spuren von %1 sind anders angeordnet als die des ersten Teils</translation>
    </message>
    <message>
        <source>%1 has %2x%3 pictures; the first part has %4x%5</source>
        <translation>%1 hat Bilder der Größe %2×%3, der erste Teil %4×%5</translation>
    </message>
    <message>
        <source>%1 is turned %2 degrees; the first part is not</source>
        <translation>%1 ist um %2 Grad gedreht, der erste Teil nicht</translation>
    </message>
    <message>
        <source>%1 is not turned; the first part is turned %2 degrees</source>
        <translation>%1 ist nicht gedreht, der erste Teil um %2 Grad</translation>
    </message>
    <message>
        <source>%1 is turned %2 degrees; the first part is turned %3 degrees</source>
        <translation>%1 ist um %2 Grad gedreht, der erste Teil um %3 Grad</translation>
    </message>
    <message>
        <source>%1 has sound at %2 Hz; the first part has %3 Hz</source>
        <translation>%1 hat Ton mit %2 Hz, der erste Teil mit %3 Hz</translation>
    </message>
    <message>
        <source>%1 cannot be read as a movie (%2)</source>
        <translation>%1 kann nicht als Film gelesen werden (%2)</translation>
    </message>
    <message>
        <source>%1 and the first part are of different kinds: %2 and %3</source>
        <translation>%1 und der erste Teil haben unterschiedliche Formate (%2 und %3)</translation>
    </message>
    <message>
        <source>%1 has no pictures or sound that a new file can carry</source>
        <translation>%1 enthält weder Bilder noch Ton, die eine neue Datei aufnehmen kann</translation>
    </message>
    <message>
        <source>%1 was cut between two key pictures without encoding, which only the first part may be</source>
        <translation>%1 wurde ohne Neucodierung zwischen zwei Schlüsselbildern geschnitten, was nur beim ersten Teil zulässig ist</translation>
    </message>
    <message>
        <source>%1 does not say how long it is, so it cannot be proven whole</source>
        <translation>%1 enthält keine Längenangabe, daher lässt sich nicht prüfen, ob die Datei vollständig ist</translation>
    </message>
    <message>
        <source>the attached font %1</source>
        <translation>die angehängte Schrift %1</translation>
    </message>
    <message>
        <source>the attached file %1</source>
        <translation>die angehängte Datei %1</translation>
    </message>
    <message>
        <source>%1 Files (*.%2)</source>
        <translation>%1-Dateien (*.%2)</translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n sound channel(s); the first part has %2</source>
        <translation>
            <numerusform>%1 hat %n Tonkanal, der erste Teil hat %2</numerusform>
            <numerusform>%1 hat %n Tonkanäle, der erste Teil hat %2</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PartSets</name>
    <message>
        <source>Add the Other Parts?</source>
        <translation>Die anderen Teile hinzufügen?</translation>
    </message>
    <message>
        <source>%1 is missing.</source>
        <translation>%1 fehlt.</translation>
    </message>
    <message>
        <source>%1 is the first part of a set. Its other parts lie in the same folder:</source>
        <translation>%1 ist der erste Teil einer Reihe. Die anderen Teile liegen im selben Ordner:</translation>
    </message>
    <message>
        <source>These files are the first parts of sets whose other parts lie in the same folder:</source>
        <translation>Diese Dateien sind die ersten Teile von Reihen, deren andere Teile im selben Ordner liegen:</translation>
    </message>
    <message>
        <source>Add the other parts to the queue after their first part?</source>
        <translation>Die anderen Teile jeweils nach ihrem ersten Teil zur Warteschlange hinzufügen?</translation>
    </message>
    <message>
        <source>%1 and its other parts are one recording split by the camera: the timestamps of each part go on where those of the part before it end.</source>
        <translation>%1 und seine übrigen Teile sind eine Aufnahme, die die Kamera geteilt hat: Die Zeitstempel jedes Teils setzen dort fort, wo die des vorigen Teils enden.</translation>
    </message>
    <message>
        <source>%1 and its other parts are one recording split by the camera: each part was begun when the part before it ended, as their creation times and lengths show.</source>
        <translation>%1 und seine übrigen Teile sind eine Aufnahme, die die Kamera geteilt hat: Jeder Teil wurde begonnen, als der vorige endete, wie ihre Erstellungszeiten und Längen zeigen.</translation>
    </message>
    <message>
        <source>%1 and its other parts are one recording split by the camera: the time in each part&apos;s name is when the part before it ended.</source>
        <translation>%1 und seine übrigen Teile sind eine Aufnahme, die die Kamera geteilt hat: Die Zeit im Namen jedes Teils ist die, zu der der vorige Teil endete.</translation>
    </message>
</context>
<context>
    <name>PosixFileSystem</name>
    <message>
        <source>the free space could not be read</source>
        <translation>der freie Speicherplatz konnte nicht ermittelt werden</translation>
    </message>
</context>
<context>
    <name>PreferencesDialog</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Source Directory:</source>
        <translation>Quellordner:</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Remember Source Directory</source>
        <translation>Quellordner merken</translation>
    </message>
    <message>
        <source>Target Directory:</source>
        <translation>Zielordner:</translation>
    </message>
    <message>
        <source>Remember Target Directory</source>
        <translation>Zielordner merken</translation>
    </message>
    <message>
        <source>Confirm Delete</source>
        <translation>Löschen bestätigen</translation>
    </message>
    <message>
        <source>Clear Queued Files After Join</source>
        <translation>Liste nach Abschluss leeren</translation>
    </message>
    <message>
        <source>Keep Chunk Size Setting</source>
        <translation>Blockgröße beibehalten</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Select your default Source folder:</source>
        <translation>Standard-Quellordner auswählen:</translation>
    </message>
</context>
<context>
    <name>QueueModel</name>
    <message>
        <source>Filename</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Speicherort</translation>
    </message>
    <message>
        <source>Filesize (in MB)</source>
        <translation>Dateigröße (in MB)</translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>the existing file could not be read</source>
        <translation>die vorhandene Datei konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1: %2.</source>
        <translation>Die Einstellungen konnten nicht in %1 gespeichert werden: %2.</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>reelbind: %1 cannot be made (%2); this Reelbind runs on its own, and neither passes files to one already running nor takes files from a later start.</source>
        <translation>reelbind: %1 kann nicht angelegt werden (%2); dieses Reelbind läuft eigenständig: Es gibt weder Dateien an ein bereits laufendes ab, noch nimmt es Dateien von einem späteren Start an.</translation>
    </message>
    <message>
        <source>reelbind: %1 is not a folder of yours alone; this Reelbind runs on its own, and neither passes files to one already running nor takes files from a later start.</source>
        <translation>reelbind: %1 ist kein Ordner, der nur Ihnen gehört; dieses Reelbind läuft eigenständig: Es gibt weder Dateien an ein bereits laufendes ab, noch nimmt es Dateien von einem späteren Start an.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Shows this help and exits.</source>
        <translation>Zeigt diese Hilfe an und beendet sich.</translation>
    </message>
    <message>
        <source>Shows the version and exits.</source>
        <translation>Zeigt die Version an und beendet sich.</translation>
    </message>
    <message>
        <source>Joins the FILEs into TARGET without a window and exits; an existing TARGET is replaced.</source>
        <translation>Verbindet die FILEs ohne Fenster zu TARGET und beendet sich; ein vorhandenes TARGET wird ersetzt.</translation>
    </message>
    <message>
        <source>With --join: joins byte for byte, even movie parts.</source>
        <translation>Mit --join: verbindet Byte für Byte, auch Filmteile.</translation>
    </message>
    <message>
        <source>With --join: joins the parts as one movie, or fails where they cannot be (by default they are where they can be).</source>
        <translation>Mit --join: verbindet die Teile zu einem Film oder schlägt fehl, wo das nicht möglich ist (standardmäßig geschieht das, wo es möglich ist).</translation>
    </message>
    <message>
        <source>With --join: adds the other parts of a set given by its first part.</source>
        <translation>Mit --join: fügt die anderen Teile einer Reihe hinzu, deren erster Teil angegeben ist.</translation>
    </message>
    <message>
        <source>With --join: moves the FILEs to the trash once joined.</source>
        <translation>Mit --join: verschiebt die FILEs nach dem Verbinden in den Papierkorb.</translation>
    </message>
    <message>
        <source>A file to queue, as if dropped on the list; with --join, a file to join.</source>
        <translation>Eine Datei für die Warteschlange, wie auf die Liste gezogen; mit --join eine zu verbindende Datei.</translation>
    </message>
    <message>
        <source>--%1 needs --join.</source>
        <translation>--%1 erfordert --join.</translation>
    </message>
    <message>
        <source>--join needs the files to join.</source>
        <translation>--join erfordert die zu verbindenden Dateien.</translation>
    </message>
    <message>
        <source>--bytes and --one-movie exclude each other.</source>
        <translation>--bytes und --one-movie schließen einander aus.</translation>
    </message>
    <message>
        <source>reelbind: no display found; start it from a desktop session, or without one run: xvfb-run -a %1
</source>
        <translation>reelbind: keine Anzeige gefunden; starten Sie das Programm in einer Desktop-Sitzung oder ohne eine solche mit: xvfb-run -a %1
</translation>
    </message>
    <message>
        <source>reelbind: the join to %1 was stopped; nothing was written.</source>
        <translation>reelbind: das Verbinden zu %1 wurde abgebrochen; es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>Joins movie files into one: byte for byte (MPEG program and transport streams),
or MP4/MOV parts or Matroska/WebM parts as one movie whose pictures are copied
unchanged and whose sound plays on without a gap where parts meet. On btrfs and
XFS the parts&apos; blocks are shared. The window shows the speed and the time left,
puts the progress on the launcher icon, tells the desktop when a long join ends
and offers to add a set&apos;s other parts; --join joins without a window. The texts
follow the desktop&apos;s language (LANGUAGE, LANG).

Examples:
  reelbind --join movie.mp4 part1.mp4 part2.mp4
  reelbind --with-sets --join movie.vob VTS_01_1.VOB</source>
        <translation>Verbindet Filmdateien zu einer: Byte für Byte (MPEG-Programm- und
-Transportströme) oder MP4/MOV-Teile bzw. Matroska/WebM-Teile zu einem Film,
dessen Bilder unverändert kopiert werden und dessen Ton dort, wo Teile
aufeinandertreffen, ohne Lücke weiterläuft. Auf btrfs und XFS werden die Blöcke
der Teile gemeinsam genutzt. Das Fenster zeigt Geschwindigkeit und Restzeit, den
Fortschritt am Starter-Symbol, meldet dem Desktop das Ende eines langen Vorgangs
und bietet die übrigen Teile einer Reihe an; --join verbindet ohne Fenster. Die
Texte folgen der Sprache des Desktops (LANGUAGE, LANG).

Beispiele:
  reelbind --join movie.mp4 part1.mp4 part2.mp4
  reelbind --with-sets --join movie.vob VTS_01_1.VOB</translation>
    </message>
</context>
</TS>
