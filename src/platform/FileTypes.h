#pragma once

// The file seam's value types: a failure, a value or its failure, and which
// file a path leads to.
#include "platform/FileError.h"
#include "platform/FileIdentity.h"
#include "platform/FileResult.h"
