#include "PageDecoding.h"

#include <QCoreApplication>

namespace lookup {

void ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

void PreferQtEventDispatcher() {
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
}

}  // namespace lookup
