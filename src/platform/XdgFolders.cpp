#include "platform/XdgFolders.h"

#include <QByteArray>
#include <QByteArrayList>

void ignoreRelativeXdgFolders()
{
    for (const char* home : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                             "XDG_RUNTIME_DIR"})
        if (qEnvironmentVariableIsSet(home) && !qgetenv(home).startsWith('/'))
            qunsetenv(home);
    for (const char* list : {"XDG_DATA_DIRS", "XDG_CONFIG_DIRS"}) {
        if (!qEnvironmentVariableIsSet(list))
            continue;
        QByteArrayList absolute;
        for (const QByteArray& folder : qgetenv(list).split(':'))
            if (folder.startsWith('/'))
                absolute << folder;
        if (absolute.isEmpty())
            qunsetenv(list);
        else
            qputenv(list, absolute.join(':'));
    }
}
