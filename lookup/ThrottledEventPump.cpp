#include "ThrottledEventPump.h"

#include "PageDecoding.h"

#include <QCoreApplication>

namespace lookup {

void ThrottledEventPump::operator()() {
    if (m_callsUntilFullPass == 0) {
        m_callsUntilFullPass = m_callsPerFullPass;
        ProcessPendingEvents();
    } else {
        QCoreApplication::sendPostedEvents();
    }
    --m_callsUntilFullPass;
}

}  // namespace lookup
