#include "client/HttpModule.h"

#include "client/HttpRequest.h"

#include <QFileInfo>
#include <QLibrary>

namespace client {
namespace {

using CreateFunction = HttpRequest* (*)();

// The module's place is relative to the executable's folder, as built and as installed.
CreateFunction LoadModule() {
    const QString folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    QLibrary module(folder + QStringLiteral("/" LOKARO_HTTP_MODULE));
    return reinterpret_cast<CreateFunction>(module.resolve(kHttpModuleEntry));
}

}  // namespace

std::unique_ptr<HttpRequest> CreateHttpRequest() {
    // Loaded once and never unloaded: the requests it makes may outlive any caller.
    static const CreateFunction create = LoadModule();
    if (!create) throw LookupFailure("the HTTP module " LOKARO_HTTP_MODULE " cannot be loaded");
    return std::unique_ptr<HttpRequest>(create());
}

}  // namespace client
