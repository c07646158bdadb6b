#include "PageDecoding.h"

#include <QCoreApplication>

namespace lookup {

void ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

}  // namespace lookup
