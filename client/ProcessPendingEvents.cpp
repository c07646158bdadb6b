#include "client/PageDecoding.h"

#include <QCoreApplication>

namespace client {

void ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

}  // namespace client
