#include "about/LinkOpener.h"

#include <QDesktopServices>

void DesktopLinkOpener::Open(const LinkRequest& request) {
    QDesktopServices::openUrl(LinkTargetUrl(request.target));
}

QUrl LinkTargetUrl(const QString& target) {
    return QUrl(target, QUrl::TolerantMode);
}
