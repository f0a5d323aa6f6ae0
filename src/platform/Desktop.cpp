#include "platform/Desktop.h"

Desktop::~Desktop() = default;

int Desktop::ShellOpen(const QString& Target)
{
    return shellOpen(Target) ? 33 : 2;
}
