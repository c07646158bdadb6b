#include "CurlHttpRequest.h"
#include "HttpModule.h"

// Named by kHttpModuleEntry.
extern "C" Q_DECL_EXPORT lookup::HttpRequest* lokaro_create_http_request() {
    return new lookup::CurlHttpRequest();
}
