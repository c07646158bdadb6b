#include "client/CurlHttpRequest.h"
#include "client/HttpModule.h"

// Named by kHttpModuleEntry.
extern "C" Q_DECL_EXPORT client::HttpRequest* lokaro_create_http_request() {
    return new client::CurlHttpRequest();
}
