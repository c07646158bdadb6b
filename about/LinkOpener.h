#pragma once

#include <QString>
#include <QUrl>

class QWidget;

// How the program that opens a link is asked to show itself (the Win32 SW_* values).
enum class ShowCommand { Normal = 1, Show = 5 };

// One request to open a link with the handler the user registered for it.
struct LinkRequest {
    QWidget* owner = nullptr;  // the window the request comes from; nullptr for none
    QString verb;              // "open", or empty for the default action of the scheme
    QString target;            // the link exactly as the program built it
    ShowCommand show = ShowCommand::Normal;
};

// Opens links for the About window. Tests put in one that records the requests.
class LinkOpener {
public:
    virtual ~LinkOpener() = default;

    // Fire and forget: when nothing can open the target, nothing is shown and nothing
    // changes; whatever the desktop itself reports is the only message.
    virtual void Open(const LinkRequest& request) = 0;
};

// The desktop's opener (QDesktopServices, xdg-open on Linux). The desktop knows no
// owner window or show command, and both "open" and the empty verb mean its default
// action for the scheme, so only the target is handed on.
class DesktopLinkOpener final : public LinkOpener {
public:
    void Open(const LinkRequest& request) override;
};

// The URL for a target text, keeping every character of it: reserved characters stay as
// written and non-ASCII text is sent percent-encoded in UTF-8, the system's code page.
QUrl LinkTargetUrl(const QString& target);
