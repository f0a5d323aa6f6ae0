#include "core/EventPump.h"

#include <QCoreApplication>

EventPump::~EventPump() = default;

void ProcessEvents::pumpEvents()
{
    QCoreApplication::processEvents();
}

bool PacedLook::lookedAt(int files)
{
    m_count += files;
    if (m_count < m_nextCheck)
        return false;
    m_nextCheck = m_count + kFilesPerCheck;
    if (!m_since.hasExpired(20))
        return false;
    m_pump.pumpEvents();
    m_since.start();
    return true;
}
