#include "client/ServiceHost.h"

#include <QtGlobal>

namespace client {

using namespace Qt::StringLiterals;

QString ServiceHost() {
    const QString fromEnvironment = qEnvironmentVariable("LOKARO_SERVICE_HOST").trimmed();
    return fromEnvironment.isEmpty() ? QStringLiteral(LOKARO_COMPILED_SERVICE_HOST)
                                     : fromEnvironment;
}

QString ServiceUrl(const QString& path) {
    return u"http://"_s + ServiceHost() + path;
}

}  // namespace client
