#include "platform/FileSystem.h"

FileSystem::~FileSystem() = default;
FileSystem::Input::~Input() = default;
FileSystem::Output::~Output() = default;
