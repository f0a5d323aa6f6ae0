<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About %1</source>
        <translation>À propos de %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>%1 joins movie files into one, byte for byte. It is freeware: you may use it and share it with others free of charge.</source>
        <translation>%1 assemble des fichiers vidéo en un seul, octet par octet. C&apos;est un logiciel gratuit&#xa0;: vous pouvez l&apos;utiliser et le partager librement, sans frais.</translation>
    </message>
    <message>
        <source>This program is provided as is, without warranty of any kind. Keep copies of the files that matter to you.</source>
        <translation>Ce programme est fourni tel quel, sans aucune garantie. Conservez des copies des fichiers qui vous sont précieux.</translation>
    </message>
    <message>
        <source>Version %1.%2.%3b For Windows 95/98/NT</source>
        <translation>Version %1.%2.%3b pour Windows 95/98/NT</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
</context>
<context>
    <name>AfterJoin</name>
    <message numerus="yes">
        <source>These files could not be deleted:</source>
        <translation>
            <numerusform>Ce fichier n&apos;a pas pu être supprimé&#xa0;:</numerusform>
            <numerusform>Ces fichiers n&apos;ont pas pu être supprimés&#xa0;:</numerusform>
        </translation>
    </message>
    <message>
        <source>it is no longer the file the join wrote</source>
        <translation>ce n&apos;est plus le fichier écrit par l&apos;assemblage</translation>
    </message>
    <message>
        <source>The joined file %1 could not be made safe on disk: %2. No source file was deleted.</source>
        <translation>Le fichier assemblé %1 n&apos;a pas pu être enregistré de façon sûre sur le disque&#xa0;: %2. Aucun fichier source n&apos;a été supprimé.</translation>
    </message>
    <message>
        <source>it was changed after it was joined, so it was kept</source>
        <translation>il a été modifié après l&apos;assemblage, il a donc été conservé</translation>
    </message>
    <message numerus="yes">
        <source>No trash takes these files:</source>
        <translation>
            <numerusform>Aucune corbeille n&apos;accepte ce fichier&#xa0;:</numerusform>
            <numerusform>Aucune corbeille n&apos;accepte ces fichiers&#xa0;:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Delete them for good? They cannot be brought back.</source>
        <translation>
            <numerusform>Le supprimer définitivement&#xa0;? Il ne pourra pas être récupéré.</numerusform>
            <numerusform>Les supprimer définitivement&#xa0;? Ils ne pourront pas être récupérés.</numerusform>
        </translation>
    </message>
    <message>
        <source>The join into %1 did not succeed. No source file was deleted.</source>
        <translation>L&apos;assemblage dans %1 n&apos;a pas réussi. Aucun fichier source n&apos;a été supprimé.</translation>
    </message>
</context>
<context>
    <name>CommandLineJoin</name>
    <message>
        <source>these files cannot be joined as one movie: only MP4/MOV parts, or only Matroska/WebM parts, can.</source>
        <translation>ces fichiers ne peuvent pas être assemblés en un seul film&#xa0;: seules des parties toutes MP4/MOV, ou toutes Matroska/WebM, peuvent l&apos;être.</translation>
    </message>
    <message>
        <source>these files cannot be joined as one movie: %1.</source>
        <translation>ces fichiers ne peuvent pas être assemblés en un seul film&#xa0;: %1.</translation>
    </message>
    <message numerus="yes">
        <source>reelbind: joining %1: %2 (file %3 of %n)</source>
        <translation>
            <numerusform>reelbind: assemblage de %1&#xa0;: %2 (fichier %3 sur %n)</numerusform>
            <numerusform>reelbind: assemblage de %1&#xa0;: %2 (fichier %3 sur %n)</numerusform>
        </translation>
    </message>
    <message>
        <source>the join to %1 was stopped; nothing was written.</source>
        <translation>l&apos;assemblage vers %1 a été interrompu&#xa0;; rien n&apos;a été écrit.</translation>
    </message>
    <message>
        <source>the join to %1 did not start.</source>
        <translation>l&apos;assemblage vers %1 n&apos;a pas démarré.</translation>
    </message>
    <message>
        <source>%1: kept, because no trash takes it.</source>
        <translation>%1&#xa0;: conservé, car aucune corbeille ne l&apos;accepte.</translation>
    </message>
</context>
<context>
    <name>Desktop</name>
    <message>
        <source>Movie Files (%1)</source>
        <translation>Fichiers vidéo (%1)</translation>
    </message>
    <message>
        <source>MPG Files (*.mpg)</source>
        <translation>Fichiers MPG (*.mpg)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Tous les fichiers (*)</translation>
    </message>
</context>
<context>
    <name>Ffmpeg</name>
    <message>
        <source>its streams are not those of the first part</source>
        <translation>ses flux ne sont pas ceux de la première partie</translation>
    </message>
    <message>
        <source>it ends before its last picture or sound, it is damaged or cut short</source>
        <translation>il s&apos;arrête avant sa dernière image ou son dernier son, il est endommagé ou tronqué</translation>
    </message>
</context>
<context>
    <name>FileError</name>
    <message>
        <source>Not a regular file</source>
        <translation>N&apos;est pas un fichier ordinaire</translation>
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
        <translation>Taille totale estimée&#xa0;:  %1&#xa0;Mo</translation>
    </message>
    <message>
        <source>Chunk Size: %1 bytes</source>
        <translation>Taille de bloc&#xa0;: %1&#xa0;octets</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>… et %n autre.</numerusform>
            <numerusform>… et %n autres.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>JoinChecks</name>
    <message>
        <source>The drive you have selected does not have enough free space to save the joined movie to.</source>
        <translation>Le disque que vous avez choisi n&apos;a pas assez d&apos;espace libre pour y enregistrer le film assemblé.</translation>
    </message>
    <message>
        <source>The target file is one of the files to be joined. Please choose another target file.</source>
        <translation>Le fichier cible est l&apos;un des fichiers à assembler. Veuillez choisir un autre fichier cible.</translation>
    </message>
    <message>
        <source>The target %1 is not a regular file. Please choose another target file.</source>
        <translation>La cible %1 n&apos;est pas un fichier ordinaire. Veuillez choisir un autre fichier cible.</translation>
    </message>
</context>
<context>
    <name>JoinPace</name>
    <message>
        <source>%1 MB/s</source>
        <translation>%1&#xa0;Mo/s</translation>
    </message>
    <message>
        <source>%1, about %2 left</source>
        <translation>%1, reste environ %2</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1&#xa0;s</translation>
    </message>
    <message>
        <source>%1 min %2 s</source>
        <translation>%1&#xa0;min %2&#xa0;s</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1&#xa0;h %2&#xa0;min</translation>
    </message>
</context>
<context>
    <name>JoinQueue</name>
    <message numerus="yes">
        <source>These files were not added to the queue:</source>
        <translation>
            <numerusform>Ce fichier n&apos;a pas été ajouté à la file d&apos;attente&#xa0;:</numerusform>
            <numerusform>Ces fichiers n&apos;ont pas été ajoutés à la file d&apos;attente&#xa0;:</numerusform>
        </translation>
    </message>
    <message>
        <source>Can&apos;t move the selected item above the beginning of the list.</source>
        <translation>Impossible de monter l&apos;élément sélectionné au-delà du début de la liste.</translation>
    </message>
    <message>
        <source>Can&apos;t move the selected item below the end of the list.</source>
        <translation>Impossible de descendre l&apos;élément sélectionné au-delà de la fin de la liste.</translation>
    </message>
</context>
<context>
    <name>JoinSession</name>
    <message>
        <source>File %1 has successfully been joined!</source>
        <translation>Le fichier %1 a été assemblé avec succès&#xa0;!</translation>
    </message>
    <message>
        <source>Operation aborted by user</source>
        <translation>Opération annulée par l&apos;utilisateur</translation>
    </message>
    <message>
        <source>Joining Files...Done!</source>
        <translation>Assemblage des fichiers… terminé&#xa0;!</translation>
    </message>
    <message>
        <source>Joining Files...Cancelled!</source>
        <translation>Assemblage des fichiers… annulé&#xa0;!</translation>
    </message>
    <message>
        <source>Joining Files...Failed!</source>
        <translation>Assemblage des fichiers… échec&#xa0;!</translation>
    </message>
    <message>
        <source>Joining Files...</source>
        <translation>Assemblage des fichiers…</translation>
    </message>
</context>
<context>
    <name>JoinStatusDialog</name>
    <message>
        <source>Joining Files...</source>
        <translation>Assemblage des fichiers…</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Résultat</translation>
    </message>
    <message>
        <source>Current file</source>
        <translation>Fichier en cours</translation>
    </message>
    <message>
        <source>All files</source>
        <translation>Tous les fichiers</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>View Joined MPG</source>
        <translation>Voir le MPG final</translation>
    </message>
    <message>
        <source>Delete Source Files</source>
        <translation>Supprimer sources</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>Terminé</translation>
    </message>
    <message>
        <source>Now joining file: %1 to %2 as one movie</source>
        <translation>Assemblage du fichier %1 dans %2 en un seul film</translation>
    </message>
    <message>
        <source>Now joining file: %1 to %2 using a chunk size of %3 bytes</source>
        <translation>Assemblage du fichier %1 dans %2 par blocs de %3&#xa0;octets</translation>
    </message>
    <message>
        <source>Delete Source Files?</source>
        <translation>Supprimer les fichiers sources&#xa0;?</translation>
    </message>
    <message>
        <source>Are you sure you want to delete the source files?  These files will be moved to the trash.</source>
        <translation>Voulez-vous vraiment supprimer les fichiers sources&#xa0;?  Ces fichiers seront mis à la corbeille.</translation>
    </message>
</context>
<context>
    <name>JoinSums</name>
    <message>
        <source>The checksum in %1 matches.</source>
        <translation>La somme de contrôle de %1 correspond.</translation>
    </message>
    <message>
        <source>The parts&apos; checksums in %1 match.</source>
        <translation>Les sommes de contrôle des parties dans %1 correspondent.</translation>
    </message>
    <message>
        <source>The joined file %1 does not match the checksum in %2.</source>
        <translation>Le fichier assemblé %1 ne correspond pas à la somme de contrôle de %2.</translation>
    </message>
    <message>
        <source>The joined file was kept, but one of its parts may be damaged.</source>
        <translation>Le fichier assemblé a été conservé, mais l&apos;une de ses parties est peut-être endommagée.</translation>
    </message>
</context>
<context>
    <name>JoinTarget</name>
    <message>
        <source>it holds %1 bytes where %2 were written</source>
        <translation>il contient %1&#xa0;octets alors que %2 ont été écrits</translation>
    </message>
    <message>
        <source>Could not read the size of file %1: %2.</source>
        <translation>Impossible de lire la taille du fichier %1&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Could not open file %1: %2.</source>
        <translation>Impossible d&apos;ouvrir le fichier %1&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Could not read file %1: %2.</source>
        <translation>Impossible de lire le fichier %1&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Could not read file %1: it ended early, it was changed during the join.</source>
        <translation>Impossible de lire le fichier %1&#xa0;: il s&apos;est terminé plus tôt que prévu, il a été modifié pendant l&apos;assemblage.</translation>
    </message>
    <message>
        <source>Could not read file %1: it grew while it was read, it was changed during the join.</source>
        <translation>Impossible de lire le fichier %1&#xa0;: il a grossi pendant sa lecture, il a été modifié pendant l&apos;assemblage.</translation>
    </message>
    <message>
        <source>Could not read file %1: it was changed during the join.</source>
        <translation>Impossible de lire le fichier %1&#xa0;: il a été modifié pendant l&apos;assemblage.</translation>
    </message>
    <message>
        <source>Could not read file %1 as a movie: %2.</source>
        <translation>Impossible de lire le fichier %1 comme un film&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Could not copy file %1 into the target file %2: %3.</source>
        <translation>Impossible de copier le fichier %1 dans le fichier cible %2&#xa0;: %3.</translation>
    </message>
    <message>
        <source>Could not get the memory to join into %1: %2.</source>
        <translation>Impossible d&apos;obtenir la mémoire nécessaire pour assembler dans %1&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Could not create the target file %1: %2.</source>
        <translation>Impossible de créer le fichier cible %1&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Could not write to the target file %1: %2.</source>
        <translation>Impossible d&apos;écrire dans le fichier cible %1&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Could not close the target file %1: %2.</source>
        <translation>Impossible de fermer le fichier cible %1&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Could not finish the target file %1: %2.</source>
        <translation>Impossible de finaliser le fichier cible %1&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Could not give the joined file the name %1: %2.</source>
        <translation>Impossible de donner le nom %1 au fichier assemblé&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Could not finish the target file %1: another program put a file in its place at the end of the join.</source>
        <translation>Impossible de finaliser le fichier cible %1&#xa0;: un autre programme a mis un fichier à sa place à la fin de l&apos;assemblage.</translation>
    </message>
    <message>
        <source>The target file %1 does not hold the joined files.</source>
        <translation>Le fichier cible %1 ne contient pas les fichiers assemblés.</translation>
    </message>
    <message>
        <source>The target file %1 was left unchanged.</source>
        <translation>Le fichier cible %1 n&apos;a pas été modifié.</translation>
    </message>
    <message>
        <source>The target file %1 was not created.</source>
        <translation>Le fichier cible %1 n&apos;a pas été créé.</translation>
    </message>
    <message>
        <source>The target file %1 holds what was joined before the cancel.</source>
        <translation>Le fichier cible %1 contient ce qui a été assemblé avant l&apos;annulation.</translation>
    </message>
    <message>
        <source>Could not join file %1: it does not match its checksum in %2.</source>
        <translation>Impossible d&apos;assembler le fichier %1 : il ne correspond pas à sa somme de contrôle dans %2.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Chunk size in bytes</source>
        <translation>Taille de bloc en octets</translation>
    </message>
    <message>
        <source>Files to join</source>
        <translation>Fichiers à assembler</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>Déplacer vers le haut</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>Déplacer vers le bas</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Retirer</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Vider</translation>
    </message>
    <message>
        <source>Join</source>
        <translation>Assembler</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>Useful Links</source>
        <translation>Liens utiles</translation>
    </message>
    <message>
        <source>ZIDA FAQ</source>
        <translation>FAQ de ZIDA</translation>
    </message>
    <message>
        <source>Brightwater&apos;s I.263 Site</source>
        <translation>Site I.263 de Brightwater</translation>
    </message>
    <message>
        <source>Marlowe&apos;s IR21 and Tesk&apos;s Power Post/Join</source>
        <translation>IR21 de Marlowe et Power Post/Join de Tesk</translation>
    </message>
    <message>
        <source>Intel&apos;s I.263 video CODEC (without IMC audio)</source>
        <translation>Codec vidéo I.263 d&apos;Intel (sans l&apos;audio IMC)</translation>
    </message>
    <message>
        <source>Intel Indeo CODECs (IV3.x, IV4.x, IV5)</source>
        <translation>Codecs Intel Indeo (IV3.x, IV4.x, IV5)</translation>
    </message>
    <message>
        <source>Free Agent (Newsreader)</source>
        <translation>Free Agent (lecteur de news)</translation>
    </message>
    <message>
        <source>Get The Latest Version of %1</source>
        <translation>Obtenir la dernière version de %1</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>View Readme File</source>
        <translation>Afficher le fichier Lisez-moi</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>View Selecte File</source>
        <translation>Afficher le fichier sélectionné</translation>
    </message>
    <message>
        <source>Remove Selected File(s)</source>
        <translation>Retirer la sélection</translation>
    </message>
</context>
<context>
    <name>MovieKind</name>
    <message>
        <source>MPEG program stream</source>
        <translation>flux de programme MPEG</translation>
    </message>
    <message>
        <source>MPEG video stream</source>
        <translation>flux vidéo MPEG</translation>
    </message>
    <message>
        <source>MPEG transport stream</source>
        <translation>flux de transport MPEG</translation>
    </message>
    <message>
        <source>M2TS transport stream</source>
        <translation>flux de transport M2TS</translation>
    </message>
    <message>
        <source>MP3 audio</source>
        <translation>audio MP3</translation>
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
        <translation>inconnu</translation>
    </message>
    <message>
        <source>These files will not play as one movie when joined byte by byte:</source>
        <translation>Ces fichiers ne seront pas lus comme un seul film s&apos;ils sont assemblés octet par octet&#xa0;:</translation>
    </message>
    <message>
        <source>Join as One Movie copies their sound into one new file that plays all parts, smoothed where one part meets the next so that it plays on without a gap. With Join Bytes Anyway the joined file will most likely play only its first part.</source>
        <translation>«&#xa0;Assembler en un seul film&#xa0;» copie leur son dans un nouveau fichier qui lit toutes les parties, en le lissant à chaque raccord entre deux parties pour que la lecture se poursuive sans interruption. Avec «&#xa0;Assembler les octets quand même&#xa0;», le fichier assemblé ne lira très probablement que sa première partie.</translation>
    </message>
    <message>
        <source>Join as One Movie copies their sound unchanged into one new file that plays all parts. With Join Bytes Anyway the joined file will most likely play only its first part.</source>
        <translation>«&#xa0;Assembler en un seul film&#xa0;» copie leur son sans modification dans un nouveau fichier qui lit toutes les parties. Avec «&#xa0;Assembler les octets quand même&#xa0;», le fichier assemblé ne lira très probablement que sa première partie.</translation>
    </message>
    <message>
        <source>Join as One Movie copies their pictures unchanged into one new file that plays all parts, and smooths the sound where one part meets the next so that it plays on without a gap. With Join Bytes Anyway the joined file will most likely play only its first part.</source>
        <translation>«&#xa0;Assembler en un seul film&#xa0;» copie leurs images sans modification dans un nouveau fichier qui lit toutes les parties, et lisse le son à chaque raccord entre deux parties pour que la lecture se poursuive sans interruption. Avec «&#xa0;Assembler les octets quand même&#xa0;», le fichier assemblé ne lira très probablement que sa première partie.</translation>
    </message>
    <message>
        <source>Join as One Movie copies their pictures and sound unchanged into one new file that plays all parts. With Join Bytes Anyway the joined file will most likely play only its first part.</source>
        <translation>«&#xa0;Assembler en un seul film&#xa0;» copie leurs images et leur son sans modification dans un nouveau fichier qui lit toutes les parties. Avec «&#xa0;Assembler les octets quand même&#xa0;», le fichier assemblé ne lira très probablement que sa première partie.</translation>
    </message>
    <message>
        <source>The new file leaves out what it cannot carry: %1.</source>
        <translation>Le nouveau fichier omet ce qu&apos;il ne peut pas contenir&#xa0;: %1.</translation>
    </message>
    <message>
        <source>The joined file will most likely play only its first part, because files of these kinds keep an index or a length of their own.</source>
        <translation>Le fichier assemblé ne lira très probablement que sa première partie, car les fichiers de ces types contiennent leur propre index ou leur propre longueur.</translation>
    </message>
    <message>
        <source>The joined file will most likely stop playing where the first kind of file ends.</source>
        <translation>La lecture du fichier assemblé s&apos;arrêtera très probablement là où se termine le premier type de fichier.</translation>
    </message>
    <message>
        <source>They cannot be joined as one movie: %1.</source>
        <translation>Ils ne peuvent pas être assemblés en un seul film&#xa0;: %1.</translation>
    </message>
    <message>
        <source>Join them anyway?</source>
        <translation>Les assembler quand même&#xa0;?</translation>
    </message>
    <message>
        <source>Join as One Movie</source>
        <translation>Assembler en un seul film</translation>
    </message>
    <message>
        <source>Join Bytes Anyway</source>
        <translation>Assembler les octets quand même</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Join Files?</source>
        <translation>Assembler les fichiers&#xa0;?</translation>
    </message>
</context>
<context>
    <name>MovieModule</name>
    <message>
        <source>unknown reason</source>
        <translation>raison inconnue</translation>
    </message>
    <message>
        <source>the movie module %1 cannot be loaded: %2</source>
        <translation>le module vidéo %1 ne peut pas être chargé&#xa0;: %2</translation>
    </message>
    <message>
        <source>the movie module %1 was not found in %2</source>
        <translation>le module vidéo %1 est introuvable dans %2</translation>
    </message>
    <message>
        <source>it has no entry point %1</source>
        <translation>il n&apos;a pas de point d&apos;entrée %1</translation>
    </message>
    <message>
        <source>it was built for version %1, the program is version %2</source>
        <translation>il a été compilé pour la version %1, le programme est en version %2</translation>
    </message>
    <message>
        <source>it made no engine</source>
        <translation>il n&apos;a créé aucun moteur</translation>
    </message>
</context>
<context>
    <name>MoviePlan</name>
    <message>
        <source>unknown</source>
        <translation>inconnu</translation>
    </message>
    <message>
        <source>%1 has no pictures, unlike the first part</source>
        <translation>%1 n&apos;a pas d&apos;images, contrairement à la première partie</translation>
    </message>
    <message>
        <source>%1 has pictures, unlike the first part</source>
        <translation>%1 a des images, contrairement à la première partie</translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n picture stream(s); the first part has %2</source>
        <translation>
            <numerusform>%1 a %n flux d&apos;images&#xa0;; la première partie en a %2</numerusform>
            <numerusform>%1 a %n flux d&apos;images&#xa0;; la première partie en a %2</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has %2 pictures; the first part has %3 pictures</source>
        <translation>%1 a des images au format %2&#xa0;; la première partie a des images au format %3</translation>
    </message>
    <message>
        <source>the pictures of %1 are encoded with other settings than the first part&apos;s</source>
        <translation>les images de %1 sont encodées avec d&apos;autres réglages que celles de la première partie</translation>
    </message>
    <message>
        <source>pictures (%1)</source>
        <translation>images (%1)</translation>
    </message>
    <message>
        <source>%1 has no sound, unlike the first part</source>
        <translation>%1 n&apos;a pas de son, contrairement à la première partie</translation>
    </message>
    <message>
        <source>%1 has sound, unlike the first part</source>
        <translation>%1 a du son, contrairement à la première partie</translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n sound stream(s); the first part has %2</source>
        <translation>
            <numerusform>%1 a %n flux sonore&#xa0;; la première partie en a %2</numerusform>
            <numerusform>%1 a %n flux sonores&#xa0;; la première partie en a %2</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has %2 sound; the first part has %3 sound</source>
        <translation>%1 a du son au format %2&#xa0;; la première partie a du son au format %3</translation>
    </message>
    <message>
        <source>the sound of %1 is encoded with other settings than the first part&apos;s</source>
        <translation>le son de %1 est encodé avec d&apos;autres réglages que celui de la première partie</translation>
    </message>
    <message>
        <source>sound (%1)</source>
        <translation>son (%1)</translation>
    </message>
    <message>
        <source>%1 has no subtitles, unlike the first part</source>
        <translation>%1 n&apos;a pas de sous-titres, contrairement à la première partie</translation>
    </message>
    <message>
        <source>%1 has subtitles, unlike the first part</source>
        <translation>%1 a des sous-titres, contrairement à la première partie</translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n subtitle stream(s); the first part has %2</source>
        <translation>
            <numerusform>%1 a %n flux de sous-titres&#xa0;; la première partie en a %2</numerusform>
            <numerusform>%1 a %n flux de sous-titres&#xa0;; la première partie en a %2</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has %2 subtitles; the first part has %3 subtitles</source>
        <translation>%1 a des sous-titres au format %2&#xa0;; la première partie a des sous-titres au format %3</translation>
    </message>
    <message>
        <source>the subtitles of %1 are encoded with other settings than the first part&apos;s</source>
        <translation>les sous-titres de %1 sont encodés avec d&apos;autres réglages que ceux de la première partie</translation>
    </message>
    <message>
        <source>subtitles (%1)</source>
        <translation>sous-titres (%1)</translation>
    </message>
    <message>
        <source>%1 has no data streams, unlike the first part</source>
        <translation>%1 n&apos;a pas de flux de données, contrairement à la première partie</translation>
    </message>
    <message>
        <source>%1 has data streams, unlike the first part</source>
        <translation>%1 a des flux de données, contrairement à la première partie</translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n data stream(s); the first part has %2</source>
        <translation>
            <numerusform>%1 a %n flux de données&#xa0;; la première partie en a %2</numerusform>
            <numerusform>%1 a %n flux de données&#xa0;; la première partie en a %2</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has %2 data; the first part has %3 data</source>
        <translation>%1 a des données au format %2&#xa0;; la première partie a des données au format %3</translation>
    </message>
    <message>
        <source>the data of %1 is encoded with other settings than the first part&apos;s</source>
        <translation>les données de %1 sont encodées avec d&apos;autres réglages que celles de la première partie</translation>
    </message>
    <message>
        <source>data (%1)</source>
        <translation>données (%1)</translation>
    </message>
    <message>
        <source>the streams of %1 are in another order than the first part&apos;s</source>
        <translation>les flux de %1 sont dans un autre ordre que ceux de la première partie</translation>
    </message>
    <message>
        <source>%1 has %2x%3 pictures; the first part has %4x%5</source>
        <translation>%1 a des images de %2&#xa0;×&#xa0;%3&#xa0;; la première partie, de %4&#xa0;×&#xa0;%5</translation>
    </message>
    <message>
        <source>%1 is turned %2 degrees; the first part is not</source>
        <translation>%1 est pivoté de %2&#xa0;degrés&#xa0;; la première partie ne l&apos;est pas</translation>
    </message>
    <message>
        <source>%1 is not turned; the first part is turned %2 degrees</source>
        <translation>%1 n&apos;est pas pivoté&#xa0;; la première partie est pivotée de %2&#xa0;degrés</translation>
    </message>
    <message>
        <source>%1 is turned %2 degrees; the first part is turned %3 degrees</source>
        <translation>%1 est pivoté de %2&#xa0;degrés&#xa0;; la première partie est pivotée de %3&#xa0;degrés</translation>
    </message>
    <message>
        <source>%1 has sound at %2 Hz; the first part has %3 Hz</source>
        <translation>%1 a un son à %2&#xa0;Hz&#xa0;; la première partie, à %3&#xa0;Hz</translation>
    </message>
    <message>
        <source>%1 cannot be read as a movie (%2)</source>
        <translation>%1 ne peut pas être lu comme un film (%2)</translation>
    </message>
    <message>
        <source>%1 and the first part are of different kinds: %2 and %3</source>
        <translation>%1 et la première partie sont de types différents&#xa0;: %2 et %3</translation>
    </message>
    <message>
        <source>%1 has no pictures or sound that a new file can carry</source>
        <translation>%1 n&apos;a ni images ni son qu&apos;un nouveau fichier puisse contenir</translation>
    </message>
    <message>
        <source>%1 was cut between two key pictures without encoding, which only the first part may be</source>
        <translation>%1 a été coupé entre deux images clés sans réencodage, ce qui n&apos;est permis que pour la première partie</translation>
    </message>
    <message>
        <source>%1 does not say how long it is, so it cannot be proven whole</source>
        <translation>%1 n&apos;indique pas sa durée, on ne peut donc pas vérifier qu&apos;il est complet</translation>
    </message>
    <message>
        <source>the attached font %1</source>
        <translation>la police jointe %1</translation>
    </message>
    <message>
        <source>the attached file %1</source>
        <translation>le fichier joint %1</translation>
    </message>
    <message>
        <source>%1 Files (*.%2)</source>
        <translation>Fichiers %1 (*.%2)</translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n sound channel(s); the first part has %2</source>
        <translation>
            <numerusform>%1 a %n canal audio&#xa0;; la première partie en a %2</numerusform>
            <numerusform>%1 a %n canaux audio&#xa0;; la première partie en a %2</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PartSets</name>
    <message>
        <source>Add the Other Parts?</source>
        <translation>Ajouter les autres parties&#xa0;?</translation>
    </message>
    <message>
        <source>%1 is missing.</source>
        <translation>%1 est manquant.</translation>
    </message>
    <message>
        <source>%1 is the first part of a set. Its other parts lie in the same folder:</source>
        <translation>%1 est la première partie d&apos;une série. Ses autres parties se trouvent dans le même dossier&#xa0;:</translation>
    </message>
    <message>
        <source>These files are the first parts of sets whose other parts lie in the same folder:</source>
        <translation>Ces fichiers sont les premières parties de séries dont les autres parties se trouvent dans le même dossier&#xa0;:</translation>
    </message>
    <message>
        <source>Add the other parts to the queue after their first part?</source>
        <translation>Ajouter les autres parties à la file d&apos;attente après leur première partie&#xa0;?</translation>
    </message>
    <message>
        <source>%1 and its other parts are one recording split by the camera: the timestamps of each part go on where those of the part before it end.</source>
        <translation>%1 et ses autres parties forment un seul enregistrement découpé par la caméra&#xa0;: les horodatages de chaque partie reprennent là où s&apos;arrêtent ceux de la partie précédente.</translation>
    </message>
    <message>
        <source>%1 and its other parts are one recording split by the camera: each part was begun when the part before it ended, as their creation times and lengths show.</source>
        <translation>%1 et ses autres parties forment un seul enregistrement découpé par la caméra&#xa0;: chaque partie a commencé quand la précédente s&apos;est terminée, comme le montrent leurs dates de création et leurs durées.</translation>
    </message>
    <message>
        <source>%1 and its other parts are one recording split by the camera: the time in each part&apos;s name is when the part before it ended.</source>
        <translation>%1 et ses autres parties forment un seul enregistrement découpé par la caméra&#xa0;: l&apos;heure dans le nom de chaque partie est celle où la partie précédente s&apos;est terminée.</translation>
    </message>
</context>
<context>
    <name>PosixFileSystem</name>
    <message>
        <source>the free space could not be read</source>
        <translation>l&apos;espace libre n&apos;a pas pu être déterminé</translation>
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
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Source Directory:</source>
        <translation>Dossier source&#xa0;:</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Parcourir</translation>
    </message>
    <message>
        <source>Remember Source Directory</source>
        <translation>Retenir le dossier source</translation>
    </message>
    <message>
        <source>Target Directory:</source>
        <translation>Dossier cible&#xa0;:</translation>
    </message>
    <message>
        <source>Remember Target Directory</source>
        <translation>Retenir le dossier cible</translation>
    </message>
    <message>
        <source>Confirm Delete</source>
        <translation>Confirmer la suppression</translation>
    </message>
    <message>
        <source>Clear Queued Files After Join</source>
        <translation>Vider la file après assemblage</translation>
    </message>
    <message>
        <source>Keep Chunk Size Setting</source>
        <translation>Conserver la taille de bloc</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>Select your default Source folder:</source>
        <translation>Choisissez votre dossier source par défaut&#xa0;:</translation>
    </message>
</context>
<context>
    <name>QueueModel</name>
    <message>
        <source>Filename</source>
        <translation>Nom du fichier</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Emplacement</translation>
    </message>
    <message>
        <source>Filesize (in MB)</source>
        <translation>Taille (en Mo)</translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>the existing file could not be read</source>
        <translation>le fichier existant n&apos;a pas pu être lu</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1: %2.</source>
        <translation>Les paramètres n&apos;ont pas pu être enregistrés dans %1&#xa0;: %2.</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>reelbind: %1 cannot be made (%2); this Reelbind runs on its own, and neither passes files to one already running nor takes files from a later start.</source>
        <translation>reelbind: impossible de créer %1 (%2)&#xa0;; cette instance de Reelbind fonctionne seule&#xa0;: elle ne transmet pas de fichiers à une instance déjà lancée et n&apos;en reçoit pas d&apos;une instance lancée plus tard.</translation>
    </message>
    <message>
        <source>reelbind: %1 is not a folder of yours alone; this Reelbind runs on its own, and neither passes files to one already running nor takes files from a later start.</source>
        <translation>reelbind: %1 n&apos;est pas un dossier réservé à votre seul usage&#xa0;; cette instance de Reelbind fonctionne seule&#xa0;: elle ne transmet pas de fichiers à une instance déjà lancée et n&apos;en reçoit pas d&apos;une instance lancée plus tard.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Shows this help and exits.</source>
        <translation>Affiche cette aide et quitte.</translation>
    </message>
    <message>
        <source>Shows the version and exits.</source>
        <translation>Affiche la version et quitte.</translation>
    </message>
    <message>
        <source>Joins the FILEs into TARGET without a window and exits; an existing TARGET is replaced.</source>
        <translation>Assemble les FILE dans TARGET sans ouvrir de fenêtre, puis quitte&#xa0;; si TARGET existe déjà, il est remplacé.</translation>
    </message>
    <message>
        <source>With --join: joins byte for byte, even movie parts.</source>
        <translation>Avec --join&#xa0;: assemble octet par octet, même des parties de film.</translation>
    </message>
    <message>
        <source>With --join: joins the parts as one movie, or fails where they cannot be (by default they are where they can be).</source>
        <translation>Avec --join&#xa0;: assemble les parties en un seul film, ou échoue si c&apos;est impossible (par défaut, elles le sont lorsque c&apos;est possible).</translation>
    </message>
    <message>
        <source>With --join: adds the other parts of a set given by its first part.</source>
        <translation>Avec --join&#xa0;: ajoute les autres parties d&apos;une série indiquée par sa première partie.</translation>
    </message>
    <message>
        <source>With --join: moves the FILEs to the trash once joined.</source>
        <translation>Avec --join&#xa0;: met les FILE à la corbeille une fois assemblés.</translation>
    </message>
    <message>
        <source>A file to queue, as if dropped on the list; with --join, a file to join.</source>
        <translation>Un fichier à mettre en file d&apos;attente, comme s&apos;il était déposé sur la liste&#xa0;; avec --join, un fichier à assembler.</translation>
    </message>
    <message>
        <source>--%1 needs --join.</source>
        <translation>--%1 nécessite --join.</translation>
    </message>
    <message>
        <source>--join needs the files to join.</source>
        <translation>--join nécessite les fichiers à assembler.</translation>
    </message>
    <message>
        <source>--bytes and --one-movie exclude each other.</source>
        <translation>--bytes et --one-movie s&apos;excluent mutuellement.</translation>
    </message>
    <message>
        <source>reelbind: no display found; start it from a desktop session, or without one run: xvfb-run -a %1
</source>
        <translation>reelbind: aucun affichage trouvé&#xa0;; lancez le programme depuis une session de bureau ou, sans session, exécutez&#xa0;: xvfb-run -a %1
</translation>
    </message>
    <message>
        <source>reelbind: the join to %1 was stopped; nothing was written.</source>
        <translation>reelbind: l&apos;assemblage vers %1 a été interrompu&#xa0;; rien n&apos;a été écrit.</translation>
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
        <translation>Assemble des fichiers vidéo en un seul&#xa0;: octet par octet (flux de programme et
de transport MPEG), ou des parties MP4/MOV ou Matroska/WebM en un seul film dont
les images sont copiées sans modification et dont le son continue sans coupure
là où les parties se rejoignent. Sur btrfs et XFS, les blocs des parties sont
partagés. La fenêtre affiche la vitesse et le temps restant, montre la
progression sur l&apos;icône du lanceur, prévient le bureau à la fin d&apos;un long
assemblage et propose d&apos;ajouter les autres parties d&apos;une série&#xa0;; --join assemble
sans fenêtre. Les textes suivent la langue du bureau (LANGUAGE, LANG).

Exemples&#xa0;:
  reelbind --join movie.mp4 part1.mp4 part2.mp4
  reelbind --with-sets --join movie.vob VTS_01_1.VOB</translation>
    </message>
</context>
</TS>
