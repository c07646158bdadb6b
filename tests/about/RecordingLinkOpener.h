#pragma once

#include "about/LinkOpener.h"

#include <QList>

// Keeps every request instead of opening anything.
class RecordingLinkOpener final : public LinkOpener {
public:
    void Open(const LinkRequest& request) override { requests.append(request); }

    QList<LinkRequest> requests;
};
