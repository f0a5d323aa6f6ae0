<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About %1</source>
        <translation>Acerca de %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>%1 joins movie files into one, byte for byte. It is freeware: you may use it and share it with others free of charge.</source>
        <translation>%1 une archivos de película en uno solo, byte a byte. Es freeware: puede usarlo y compartirlo con otras personas sin pagar nada.</translation>
    </message>
    <message>
        <source>This program is provided as is, without warranty of any kind. Keep copies of the files that matter to you.</source>
        <translation>Este programa se ofrece tal cual, sin garantía de ningún tipo. Guarde copias de los archivos que le importen.</translation>
    </message>
    <message>
        <source>Version %1.%2.%3b For Windows 95/98/NT</source>
        <translation>Versión %1.%2.%3b para Windows 95/98/NT</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Salir</translation>
    </message>
</context>
<context>
    <name>AfterJoin</name>
    <message numerus="yes">
        <source>These files could not be deleted:</source>
        <translation>
            <numerusform>No se pudo borrar este archivo:</numerusform>
            <numerusform>No se pudieron borrar estos archivos:</numerusform>
        </translation>
    </message>
    <message>
        <source>it is no longer the file the join wrote</source>
        <translation>ya no es el archivo que se escribió al unir</translation>
    </message>
    <message>
        <source>The joined file %1 could not be made safe on disk: %2. No source file was deleted.</source>
        <translation>El archivo unido %1 no se pudo guardar de forma segura en el disco: %2. No se borró ningún archivo de origen.</translation>
    </message>
    <message>
        <source>it was changed after it was joined, so it was kept</source>
        <translation>se modificó después de la unión, así que se conservó</translation>
    </message>
    <message numerus="yes">
        <source>No trash takes these files:</source>
        <translation>
            <numerusform>Ninguna papelera admite este archivo:</numerusform>
            <numerusform>Ninguna papelera admite estos archivos:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Delete them for good? They cannot be brought back.</source>
        <translation>
            <numerusform>¿Borrarlo definitivamente? No se podrá recuperar.</numerusform>
            <numerusform>¿Borrarlos definitivamente? No se podrán recuperar.</numerusform>
        </translation>
    </message>
    <message>
        <source>The join into %1 did not succeed. No source file was deleted.</source>
        <translation>La unión en %1 no se completó correctamente. No se borró ningún archivo de origen.</translation>
    </message>
</context>
<context>
    <name>CommandLineJoin</name>
    <message>
        <source>these files cannot be joined as one movie: only MP4/MOV parts, or only Matroska/WebM parts, can.</source>
        <translation>estos archivos no se pueden unir como una sola película: solo es posible con partes que sean todas MP4/MOV o todas Matroska/WebM.</translation>
    </message>
    <message>
        <source>these files cannot be joined as one movie: %1.</source>
        <translation>estos archivos no se pueden unir como una sola película: %1.</translation>
    </message>
    <message numerus="yes">
        <source>reelbind: joining %1: %2 (file %3 of %n)</source>
        <translation>
            <numerusform>reelbind: uniendo %1: %2 (archivo %3 de %n)</numerusform>
            <numerusform>reelbind: uniendo %1: %2 (archivo %3 de %n)</numerusform>
        </translation>
    </message>
    <message>
        <source>the join to %1 was stopped; nothing was written.</source>
        <translation>se detuvo la unión con destino %1; no se escribió nada.</translation>
    </message>
    <message>
        <source>the join to %1 did not start.</source>
        <translation>la unión con destino %1 no se inició.</translation>
    </message>
    <message>
        <source>%1: kept, because no trash takes it.</source>
        <translation>%1: se conservó porque ninguna papelera lo admite.</translation>
    </message>
</context>
<context>
    <name>Desktop</name>
    <message>
        <source>Movie Files (%1)</source>
        <translation>Archivos de película (%1)</translation>
    </message>
    <message>
        <source>MPG Files (*.mpg)</source>
        <translation>Archivos MPG (*.mpg)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Todos los archivos (*)</translation>
    </message>
</context>
<context>
    <name>Ffmpeg</name>
    <message>
        <source>its streams are not those of the first part</source>
        <translation>sus flujos no son los de la primera parte</translation>
    </message>
    <message>
        <source>it ends before its last picture or sound, it is damaged or cut short</source>
        <translation>termina antes de su última imagen o sonido; está dañado o incompleto</translation>
    </message>
</context>
<context>
    <name>FileError</name>
    <message>
        <source>Not a regular file</source>
        <translation>No es un archivo normal</translation>
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
        <translation>Tamaño final estimado:  %1 MB</translation>
    </message>
    <message>
        <source>Chunk Size: %1 bytes</source>
        <translation>Tamaño de bloque: %1 bytes</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>... y %n más.</numerusform>
            <numerusform>... y %n más.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>JoinChecks</name>
    <message>
        <source>The drive you have selected does not have enough free space to save the joined movie to.</source>
        <translation>La unidad seleccionada no tiene espacio libre suficiente para guardar la película unida.</translation>
    </message>
    <message>
        <source>The target file is one of the files to be joined. Please choose another target file.</source>
        <translation>El archivo de destino es uno de los archivos que se van a unir. Elija otro archivo de destino.</translation>
    </message>
    <message>
        <source>The target %1 is not a regular file. Please choose another target file.</source>
        <translation>El destino %1 no es un archivo normal. Elija otro archivo de destino.</translation>
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
        <translation>%1, quedan aprox. %2</translation>
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
            <numerusform>Este archivo no se añadió a la cola:</numerusform>
            <numerusform>Estos archivos no se añadieron a la cola:</numerusform>
        </translation>
    </message>
    <message>
        <source>Can&apos;t move the selected item above the beginning of the list.</source>
        <translation>No se puede mover el elemento seleccionado por encima del principio de la lista.</translation>
    </message>
    <message>
        <source>Can&apos;t move the selected item below the end of the list.</source>
        <translation>No se puede mover el elemento seleccionado por debajo del final de la lista.</translation>
    </message>
</context>
<context>
    <name>JoinSession</name>
    <message>
        <source>File %1 has successfully been joined!</source>
        <translation>¡Archivo %1 unido correctamente!</translation>
    </message>
    <message>
        <source>Operation aborted by user</source>
        <translation>Operación cancelada por el usuario</translation>
    </message>
    <message>
        <source>Joining Files...Done!</source>
        <translation>Uniendo archivos... ¡Hecho!</translation>
    </message>
    <message>
        <source>Joining Files...Cancelled!</source>
        <translation>Uniendo archivos... ¡Cancelado!</translation>
    </message>
    <message>
        <source>Joining Files...Failed!</source>
        <translation>Uniendo archivos... ¡Error!</translation>
    </message>
    <message>
        <source>Joining Files...</source>
        <translation>Uniendo archivos...</translation>
    </message>
</context>
<context>
    <name>JoinStatusDialog</name>
    <message>
        <source>Joining Files...</source>
        <translation>Uniendo archivos...</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Resultado</translation>
    </message>
    <message>
        <source>Current file</source>
        <translation>Archivo actual</translation>
    </message>
    <message>
        <source>All files</source>
        <translation>Todos los archivos</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>View Joined MPG</source>
        <translation>Ver MPG unido</translation>
    </message>
    <message>
        <source>Delete Source Files</source>
        <translation>Borrar originales</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>Terminado</translation>
    </message>
    <message>
        <source>Now joining file: %1 to %2 as one movie</source>
        <translation>Uniendo el archivo %1 a %2 como una sola película</translation>
    </message>
    <message>
        <source>Now joining file: %1 to %2 using a chunk size of %3 bytes</source>
        <translation>Uniendo el archivo %1 a %2 con un tamaño de bloque de %3 bytes</translation>
    </message>
    <message>
        <source>Delete Source Files?</source>
        <translation>¿Borrar los archivos de origen?</translation>
    </message>
    <message>
        <source>Are you sure you want to delete the source files?  These files will be moved to the trash.</source>
        <translation>¿Seguro que desea borrar los archivos de origen?  Se moverán a la papelera.</translation>
    </message>
</context>
<context>
    <name>JoinSums</name>
    <message>
        <source>The checksum in %1 matches.</source>
        <translation>La suma de comprobación de %1 coincide.</translation>
    </message>
    <message>
        <source>The parts&apos; checksums in %1 match.</source>
        <translation>Las sumas de comprobación de las partes en %1 coinciden.</translation>
    </message>
    <message>
        <source>The joined file %1 does not match the checksum in %2.</source>
        <translation>El archivo unido %1 no coincide con la suma de comprobación de %2.</translation>
    </message>
    <message>
        <source>The joined file was kept, but one of its parts may be damaged.</source>
        <translation>Se conservó el archivo unido, pero una de sus partes puede estar dañada.</translation>
    </message>
</context>
<context>
    <name>JoinTarget</name>
    <message>
        <source>it holds %1 bytes where %2 were written</source>
        <translation>contiene %1 bytes, pero se escribieron %2</translation>
    </message>
    <message>
        <source>Could not read the size of file %1: %2.</source>
        <translation>No se pudo leer el tamaño del archivo %1: %2.</translation>
    </message>
    <message>
        <source>Could not open file %1: %2.</source>
        <translation>No se pudo abrir el archivo %1: %2.</translation>
    </message>
    <message>
        <source>Could not read file %1: %2.</source>
        <translation>No se pudo leer el archivo %1: %2.</translation>
    </message>
    <message>
        <source>Could not read file %1: it ended early, it was changed during the join.</source>
        <translation>No se pudo leer el archivo %1: terminó antes de lo previsto; se modificó durante la unión.</translation>
    </message>
    <message>
        <source>Could not read file %1: it grew while it was read, it was changed during the join.</source>
        <translation>No se pudo leer el archivo %1: creció mientras se leía; se modificó durante la unión.</translation>
    </message>
    <message>
        <source>Could not read file %1: it was changed during the join.</source>
        <translation>No se pudo leer el archivo %1: se modificó durante la unión.</translation>
    </message>
    <message>
        <source>Could not read file %1 as a movie: %2.</source>
        <translation>No se pudo leer el archivo %1 como película: %2.</translation>
    </message>
    <message>
        <source>Could not copy file %1 into the target file %2: %3.</source>
        <translation>No se pudo copiar el archivo %1 en el archivo de destino %2: %3.</translation>
    </message>
    <message>
        <source>Could not get the memory to join into %1: %2.</source>
        <translation>No se pudo obtener memoria para unir los archivos en %1: %2.</translation>
    </message>
    <message>
        <source>Could not create the target file %1: %2.</source>
        <translation>No se pudo crear el archivo de destino %1: %2.</translation>
    </message>
    <message>
        <source>Could not write to the target file %1: %2.</source>
        <translation>No se pudo escribir en el archivo de destino %1: %2.</translation>
    </message>
    <message>
        <source>Could not close the target file %1: %2.</source>
        <translation>No se pudo cerrar el archivo de destino %1: %2.</translation>
    </message>
    <message>
        <source>Could not finish the target file %1: %2.</source>
        <translation>No se pudo completar el archivo de destino %1: %2.</translation>
    </message>
    <message>
        <source>Could not give the joined file the name %1: %2.</source>
        <translation>No se pudo dar al archivo unido el nombre %1: %2.</translation>
    </message>
    <message>
        <source>Could not finish the target file %1: another program put a file in its place at the end of the join.</source>
        <translation>No se pudo completar el archivo de destino %1: otro programa puso un archivo en su lugar al final de la unión.</translation>
    </message>
    <message>
        <source>The target file %1 does not hold the joined files.</source>
        <translation>El archivo de destino %1 no contiene los archivos unidos.</translation>
    </message>
    <message>
        <source>The target file %1 was left unchanged.</source>
        <translation>El archivo de destino %1 no se modificó.</translation>
    </message>
    <message>
        <source>The target file %1 was not created.</source>
        <translation>El archivo de destino %1 no se creó.</translation>
    </message>
    <message>
        <source>The target file %1 holds what was joined before the cancel.</source>
        <translation>El archivo de destino %1 contiene lo que se unió antes de cancelar.</translation>
    </message>
    <message>
        <source>Could not join file %1: it does not match its checksum in %2.</source>
        <translation>No se pudo unir el archivo %1: no coincide con su suma de comprobación en %2.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Chunk size in bytes</source>
        <translation>Tamaño de bloque en bytes</translation>
    </message>
    <message>
        <source>Files to join</source>
        <translation>Archivos para unir</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>Subir</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>Bajar</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Añadir</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Quitar</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Vaciar</translation>
    </message>
    <message>
        <source>Join</source>
        <translation>Unir</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Preferencias</translation>
    </message>
    <message>
        <source>Useful Links</source>
        <translation>Enlaces útiles</translation>
    </message>
    <message>
        <source>ZIDA FAQ</source>
        <translation>Preguntas frecuentes de ZIDA</translation>
    </message>
    <message>
        <source>Brightwater&apos;s I.263 Site</source>
        <translation>Sitio de I.263 de Brightwater</translation>
    </message>
    <message>
        <source>Marlowe&apos;s IR21 and Tesk&apos;s Power Post/Join</source>
        <translation>IR21 de Marlowe y Power Post/Join de Tesk</translation>
    </message>
    <message>
        <source>Intel&apos;s I.263 video CODEC (without IMC audio)</source>
        <translation>Códec de vídeo I.263 de Intel (sin audio IMC)</translation>
    </message>
    <message>
        <source>Intel Indeo CODECs (IV3.x, IV4.x, IV5)</source>
        <translation>Códecs Intel Indeo (IV3.x, IV4.x, IV5)</translation>
    </message>
    <message>
        <source>Free Agent (Newsreader)</source>
        <translation>Free Agent (lector de noticias)</translation>
    </message>
    <message>
        <source>Get The Latest Version of %1</source>
        <translation>Obtener la última versión de %1</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Ayuda</translation>
    </message>
    <message>
        <source>View Readme File</source>
        <translation>Ver archivo Léame</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opciones</translation>
    </message>
    <message>
        <source>View Selecte File</source>
        <translation>Ver archivo seleccionado</translation>
    </message>
    <message>
        <source>Remove Selected File(s)</source>
        <translation>Quitar archivos seleccionados</translation>
    </message>
</context>
<context>
    <name>MovieKind</name>
    <message>
        <source>MPEG program stream</source>
        <translation>flujo de programa MPEG</translation>
    </message>
    <message>
        <source>MPEG video stream</source>
        <translation>flujo de vídeo MPEG</translation>
    </message>
    <message>
        <source>MPEG transport stream</source>
        <translation>flujo de transporte MPEG</translation>
    </message>
    <message>
        <source>M2TS transport stream</source>
        <translation>flujo de transporte M2TS</translation>
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
        <translation>desconocido</translation>
    </message>
    <message>
        <source>These files will not play as one movie when joined byte by byte:</source>
        <translation>Estos archivos no se reproducirán como una sola película si se unen byte a byte:</translation>
    </message>
    <message>
        <source>Join as One Movie copies their sound into one new file that plays all parts, smoothed where one part meets the next so that it plays on without a gap. With Join Bytes Anyway the joined file will most likely play only its first part.</source>
        <translation>Unir como una sola película copia su sonido en un archivo nuevo que reproduce todas las partes, suavizado donde una parte se junta con la siguiente para que siga sonando sin cortes. Si elige Unir bytes de todos modos, lo más probable es que el archivo unido reproduzca solo su primera parte.</translation>
    </message>
    <message>
        <source>Join as One Movie copies their sound unchanged into one new file that plays all parts. With Join Bytes Anyway the joined file will most likely play only its first part.</source>
        <translation>Unir como una sola película copia su sonido sin cambios en un archivo nuevo que reproduce todas las partes. Si elige Unir bytes de todos modos, lo más probable es que el archivo unido reproduzca solo su primera parte.</translation>
    </message>
    <message>
        <source>Join as One Movie copies their pictures unchanged into one new file that plays all parts, and smooths the sound where one part meets the next so that it plays on without a gap. With Join Bytes Anyway the joined file will most likely play only its first part.</source>
        <translation>Unir como una sola película copia su imagen sin cambios en un archivo nuevo que reproduce todas las partes, y suaviza el sonido donde una parte se junta con la siguiente para que siga sonando sin cortes. Si elige Unir bytes de todos modos, lo más probable es que el archivo unido reproduzca solo su primera parte.</translation>
    </message>
    <message>
        <source>Join as One Movie copies their pictures and sound unchanged into one new file that plays all parts. With Join Bytes Anyway the joined file will most likely play only its first part.</source>
        <translation>Unir como una sola película copia su imagen y su sonido sin cambios en un archivo nuevo que reproduce todas las partes. Si elige Unir bytes de todos modos, lo más probable es que el archivo unido reproduzca solo su primera parte.</translation>
    </message>
    <message>
        <source>The new file leaves out what it cannot carry: %1.</source>
        <translation>El archivo nuevo omite lo que no puede contener: %1.</translation>
    </message>
    <message>
        <source>The joined file will most likely play only its first part, because files of these kinds keep an index or a length of their own.</source>
        <translation>Lo más probable es que el archivo unido reproduzca solo su primera parte, porque los archivos de estos tipos guardan su propio índice o su propia longitud.</translation>
    </message>
    <message>
        <source>The joined file will most likely stop playing where the first kind of file ends.</source>
        <translation>Lo más probable es que el archivo unido deje de reproducirse donde terminan los archivos del primer tipo.</translation>
    </message>
    <message>
        <source>They cannot be joined as one movie: %1.</source>
        <translation>No se pueden unir como una sola película: %1.</translation>
    </message>
    <message>
        <source>Join them anyway?</source>
        <translation>¿Unirlos de todos modos?</translation>
    </message>
    <message>
        <source>Join as One Movie</source>
        <translation>Unir como una sola película</translation>
    </message>
    <message>
        <source>Join Bytes Anyway</source>
        <translation>Unir bytes de todos modos</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Join Files?</source>
        <translation>¿Unir archivos?</translation>
    </message>
</context>
<context>
    <name>MovieModule</name>
    <message>
        <source>unknown reason</source>
        <translation>motivo desconocido</translation>
    </message>
    <message>
        <source>the movie module %1 cannot be loaded: %2</source>
        <translation>no se puede cargar el módulo de películas %1: %2</translation>
    </message>
    <message>
        <source>the movie module %1 was not found in %2</source>
        <translation>no se encontró el módulo de películas %1 en %2</translation>
    </message>
    <message>
        <source>it has no entry point %1</source>
        <translation>no tiene el punto de entrada %1</translation>
    </message>
    <message>
        <source>it was built for version %1, the program is version %2</source>
        <translation>se compiló para la versión %1, pero el programa es la versión %2</translation>
    </message>
    <message>
        <source>it made no engine</source>
        <translation>no creó ningún motor</translation>
    </message>
</context>
<context>
    <name>MoviePlan</name>
    <message>
        <source>unknown</source>
        <translation>desconocido</translation>
    </message>
    <message>
        <source>%1 has no pictures, unlike the first part</source>
        <translation>%1 no tiene imagen, a diferencia de la primera parte</translation>
    </message>
    <message>
        <source>%1 has pictures, unlike the first part</source>
        <translation>%1 tiene imagen, a diferencia de la primera parte</translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n picture stream(s); the first part has %2</source>
        <translation>
            <numerusform>%1 tiene %n flujo de imagen; la primera parte tiene %2</numerusform>
            <numerusform>%1 tiene %n flujos de imagen; la primera parte tiene %2</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has %2 pictures; the first part has %3 pictures</source>
        <translation>%1 tiene imagen con el códec %2; la primera parte, con el códec %3</translation>
    </message>
    <message>
        <source>the pictures of %1 are encoded with other settings than the first part&apos;s</source>
        <translation>la imagen de %1 está codificada con ajustes distintos de los de la primera parte</translation>
    </message>
    <message>
        <source>pictures (%1)</source>
        <translation>imagen (%1)</translation>
    </message>
    <message>
        <source>%1 has no sound, unlike the first part</source>
        <translation>%1 no tiene sonido, a diferencia de la primera parte</translation>
    </message>
    <message>
        <source>%1 has sound, unlike the first part</source>
        <translation>%1 tiene sonido, a diferencia de la primera parte</translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n sound stream(s); the first part has %2</source>
        <translation>
            <numerusform>%1 tiene %n flujo de sonido; la primera parte tiene %2</numerusform>
            <numerusform>%1 tiene %n flujos de sonido; la primera parte tiene %2</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has %2 sound; the first part has %3 sound</source>
        <translation>%1 tiene sonido con el códec %2; la primera parte, con el códec %3</translation>
    </message>
    <message>
        <source>the sound of %1 is encoded with other settings than the first part&apos;s</source>
        <translation>el sonido de %1 está codificado con ajustes distintos de los de la primera parte</translation>
    </message>
    <message>
        <source>sound (%1)</source>
        <translation>sonido (%1)</translation>
    </message>
    <message>
        <source>%1 has no subtitles, unlike the first part</source>
        <translation>%1 no tiene subtítulos, a diferencia de la primera parte</translation>
    </message>
    <message>
        <source>%1 has subtitles, unlike the first part</source>
        <translation>%1 tiene subtítulos, a diferencia de la primera parte</translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n subtitle stream(s); the first part has %2</source>
        <translation>
            <numerusform>%1 tiene %n flujo de subtítulos; la primera parte tiene %2</numerusform>
            <numerusform>%1 tiene %n flujos de subtítulos; la primera parte tiene %2</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has %2 subtitles; the first part has %3 subtitles</source>
        <translation>%1 tiene subtítulos con el códec %2; la primera parte, con el códec %3</translation>
    </message>
    <message>
        <source>the subtitles of %1 are encoded with other settings than the first part&apos;s</source>
        <translation>los subtítulos de %1 están codificados con ajustes distintos de los de la primera parte</translation>
    </message>
    <message>
        <source>subtitles (%1)</source>
        <translation>subtítulos (%1)</translation>
    </message>
    <message>
        <source>%1 has no data streams, unlike the first part</source>
        <translation>%1 no tiene flujos de datos, a diferencia de la primera parte</translation>
    </message>
    <message>
        <source>%1 has data streams, unlike the first part</source>
        <translation>%1 tiene flujos de datos, a diferencia de la primera parte</translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n data stream(s); the first part has %2</source>
        <translation>
            <numerusform>%1 tiene %n flujo de datos; la primera parte tiene %2</numerusform>
            <numerusform>%1 tiene %n flujos de datos; la primera parte tiene %2</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has %2 data; the first part has %3 data</source>
        <translation>%1 tiene datos con el códec %2; la primera parte, con el códec %3</translation>
    </message>
    <message>
        <source>the data of %1 is encoded with other settings than the first part&apos;s</source>
        <translation>los datos de %1 están codificados con ajustes distintos de los de la primera parte</translation>
    </message>
    <message>
        <source>data (%1)</source>
        <translation>datos (%1)</translation>
    </message>
    <message>
        <source>the streams of %1 are in another order than the first part&apos;s</source>
        <translation>los flujos de %1 están en un orden distinto del de la primera parte</translation>
    </message>
    <message>
        <source>%1 has %2x%3 pictures; the first part has %4x%5</source>
        <translation>%1 tiene imagen de %2x%3; la primera parte, de %4x%5</translation>
    </message>
    <message>
        <source>%1 is turned %2 degrees; the first part is not</source>
        <translation>%1 está girado %2 grados; la primera parte, no</translation>
    </message>
    <message>
        <source>%1 is not turned; the first part is turned %2 degrees</source>
        <translation>%1 no está girado; la primera parte está girada %2 grados</translation>
    </message>
    <message>
        <source>%1 is turned %2 degrees; the first part is turned %3 degrees</source>
        <translation>%1 está girado %2 grados; la primera parte está girada %3 grados</translation>
    </message>
    <message>
        <source>%1 has sound at %2 Hz; the first part has %3 Hz</source>
        <translation>%1 tiene sonido a %2 Hz; la primera parte, a %3 Hz</translation>
    </message>
    <message>
        <source>%1 cannot be read as a movie (%2)</source>
        <translation>%1 no se puede leer como película (%2)</translation>
    </message>
    <message>
        <source>%1 and the first part are of different kinds: %2 and %3</source>
        <translation>%1 y la primera parte son de tipos distintos: %2 y %3</translation>
    </message>
    <message>
        <source>%1 has no pictures or sound that a new file can carry</source>
        <translation>%1 no tiene imagen ni sonido que un archivo nuevo pueda contener</translation>
    </message>
    <message>
        <source>%1 was cut between two key pictures without encoding, which only the first part may be</source>
        <translation>%1 se cortó entre dos fotogramas clave sin recodificar, algo que solo se admite en la primera parte</translation>
    </message>
    <message>
        <source>%1 does not say how long it is, so it cannot be proven whole</source>
        <translation>%1 no indica su duración, así que no se puede comprobar que esté completo</translation>
    </message>
    <message>
        <source>the attached font %1</source>
        <translation>el tipo de letra adjunto %1</translation>
    </message>
    <message>
        <source>the attached file %1</source>
        <translation>el archivo adjunto %1</translation>
    </message>
    <message>
        <source>%1 Files (*.%2)</source>
        <translation>Archivos %1 (*.%2)</translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n sound channel(s); the first part has %2</source>
        <translation>
            <numerusform>%1 tiene %n canal de sonido; la primera parte tiene %2</numerusform>
            <numerusform>%1 tiene %n canales de sonido; la primera parte tiene %2</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PartSets</name>
    <message>
        <source>Add the Other Parts?</source>
        <translation>¿Añadir las demás partes?</translation>
    </message>
    <message>
        <source>%1 is missing.</source>
        <translation>Falta %1.</translation>
    </message>
    <message>
        <source>%1 is the first part of a set. Its other parts lie in the same folder:</source>
        <translation>%1 es la primera parte de un conjunto. Sus demás partes están en la misma carpeta:</translation>
    </message>
    <message>
        <source>These files are the first parts of sets whose other parts lie in the same folder:</source>
        <translation>Estos archivos son las primeras partes de conjuntos cuyas demás partes están en la misma carpeta:</translation>
    </message>
    <message>
        <source>Add the other parts to the queue after their first part?</source>
        <translation>¿Añadir las demás partes a la cola detrás de su primera parte?</translation>
    </message>
    <message>
        <source>%1 and its other parts are one recording split by the camera: the timestamps of each part go on where those of the part before it end.</source>
        <translation>%1 y sus demás partes son una sola grabación dividida por la cámara: las marcas de tiempo de cada parte continúan donde terminan las de la parte anterior.</translation>
    </message>
    <message>
        <source>%1 and its other parts are one recording split by the camera: each part was begun when the part before it ended, as their creation times and lengths show.</source>
        <translation>%1 y sus demás partes son una sola grabación dividida por la cámara: cada parte empezó cuando terminó la anterior, como muestran sus fechas de creación y sus duraciones.</translation>
    </message>
    <message>
        <source>%1 and its other parts are one recording split by the camera: the time in each part&apos;s name is when the part before it ended.</source>
        <translation>%1 y sus demás partes son una sola grabación dividida por la cámara: la hora en el nombre de cada parte es aquella en que terminó la parte anterior.</translation>
    </message>
</context>
<context>
    <name>PosixFileSystem</name>
    <message>
        <source>the free space could not be read</source>
        <translation>no se pudo leer el espacio libre</translation>
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
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Source Directory:</source>
        <translation>Carpeta de origen:</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Examinar</translation>
    </message>
    <message>
        <source>Remember Source Directory</source>
        <translation>Recordar carpeta origen</translation>
    </message>
    <message>
        <source>Target Directory:</source>
        <translation>Carpeta de destino:</translation>
    </message>
    <message>
        <source>Remember Target Directory</source>
        <translation>Recordar carpeta destino</translation>
    </message>
    <message>
        <source>Confirm Delete</source>
        <translation>Confirmar borrado</translation>
    </message>
    <message>
        <source>Clear Queued Files After Join</source>
        <translation>Vaciar la cola después de unir</translation>
    </message>
    <message>
        <source>Keep Chunk Size Setting</source>
        <translation>Conservar tamaño de bloque</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Preferencias</translation>
    </message>
    <message>
        <source>Select your default Source folder:</source>
        <translation>Seleccione su carpeta de origen predeterminada:</translation>
    </message>
</context>
<context>
    <name>QueueModel</name>
    <message>
        <source>Filename</source>
        <translation>Nombre de archivo</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Ubicación</translation>
    </message>
    <message>
        <source>Filesize (in MB)</source>
        <translation>Tamaño (en MB)</translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>the existing file could not be read</source>
        <translation>no se pudo leer el archivo existente</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1: %2.</source>
        <translation>No se pudo guardar la configuración en %1: %2.</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>reelbind: %1 cannot be made (%2); this Reelbind runs on its own, and neither passes files to one already running nor takes files from a later start.</source>
        <translation>reelbind: no se puede crear %1 (%2); este Reelbind funciona por su cuenta: no pasa archivos a otro que ya esté en ejecución ni recibe archivos de uno que se inicie después.</translation>
    </message>
    <message>
        <source>reelbind: %1 is not a folder of yours alone; this Reelbind runs on its own, and neither passes files to one already running nor takes files from a later start.</source>
        <translation>reelbind: %1 no es una carpeta exclusivamente suya; este Reelbind funciona por su cuenta: no pasa archivos a otro que ya esté en ejecución ni recibe archivos de uno que se inicie después.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Shows this help and exits.</source>
        <translation>Muestra esta ayuda y termina.</translation>
    </message>
    <message>
        <source>Shows the version and exits.</source>
        <translation>Muestra la versión y termina.</translation>
    </message>
    <message>
        <source>Joins the FILEs into TARGET without a window and exits; an existing TARGET is replaced.</source>
        <translation>Une los archivos FILE en TARGET sin abrir ninguna ventana y termina; si TARGET ya existe, se reemplaza.</translation>
    </message>
    <message>
        <source>With --join: joins byte for byte, even movie parts.</source>
        <translation>Con --join: une byte a byte, incluso las partes de película.</translation>
    </message>
    <message>
        <source>With --join: joins the parts as one movie, or fails where they cannot be (by default they are where they can be).</source>
        <translation>Con --join: une las partes como una sola película o falla si no es posible (de forma predeterminada se unen así cuando es posible).</translation>
    </message>
    <message>
        <source>With --join: adds the other parts of a set given by its first part.</source>
        <translation>Con --join: añade las demás partes de un conjunto indicado por su primera parte.</translation>
    </message>
    <message>
        <source>With --join: moves the FILEs to the trash once joined.</source>
        <translation>Con --join: mueve los archivos FILE a la papelera una vez unidos.</translation>
    </message>
    <message>
        <source>A file to queue, as if dropped on the list; with --join, a file to join.</source>
        <translation>Un archivo para poner en la cola, como si se soltara sobre la lista; con --join, un archivo que unir.</translation>
    </message>
    <message>
        <source>--%1 needs --join.</source>
        <translation>--%1 requiere --join.</translation>
    </message>
    <message>
        <source>--join needs the files to join.</source>
        <translation>--join requiere los archivos que unir.</translation>
    </message>
    <message>
        <source>--bytes and --one-movie exclude each other.</source>
        <translation>--bytes y --one-movie se excluyen mutuamente.</translation>
    </message>
    <message>
        <source>reelbind: no display found; start it from a desktop session, or without one run: xvfb-run -a %1
</source>
        <translation>reelbind: no se encontró ninguna pantalla; inícielo desde una sesión de escritorio o, si no tiene una, ejecute: xvfb-run -a %1
</translation>
    </message>
    <message>
        <source>reelbind: the join to %1 was stopped; nothing was written.</source>
        <translation>reelbind: se detuvo la unión con destino %1; no se escribió nada.</translation>
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
        <translation>Une archivos de película en uno solo: byte a byte (flujos de programa y de
transporte MPEG), o partes MP4/MOV o Matroska/WebM como una sola película cuya
imagen se copia sin cambios y cuyo sonido continúa sin cortes donde se unen las
partes. En btrfs y XFS se comparten los bloques de las partes. La ventana
muestra la velocidad y el tiempo restante, indica el progreso en el icono del
lanzador, avisa al escritorio cuando termina una unión larga y ofrece añadir las
demás partes de una serie; --join une sin ventana. Los textos siguen el idioma
del escritorio (LANGUAGE, LANG).

Ejemplos:
  reelbind --join movie.mp4 part1.mp4 part2.mp4
  reelbind --with-sets --join movie.vob VTS_01_1.VOB</translation>
    </message>
</context>
</TS>
