#pragma once

#include "platform/DataMover.h"
#include "platform/FileLookup.h"
#include "platform/FileStreams.h"
#include "platform/Trash.h"

/// The program's one door to the files on disk: every role of the file seam
/// in one object, as the program hands it round. Each part of the program
/// keeps to the roles it needs. PosixFileSystem is the real one; tests
/// script parts of it and keep the rest real.
class FileSystem : public FileLookup, public FileStreams, public DataMover, public Trash
{
};
