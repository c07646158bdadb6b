#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

// Stands in as the desktop's handler for some URL schemes while it lives, and keeps the
// URLs that QDesktopServices::openUrl hands it.
class RecordingUrlHandler : public QObject {
    Q_OBJECT
public:
    explicit RecordingUrlHandler(QStringList schemes) : m_schemes(std::move(schemes)) {
        for (const QString& scheme : m_schemes)
            QDesktopServices::setUrlHandler(scheme, this, "handle");
    }
    ~RecordingUrlHandler() override {
        for (const QString& scheme : m_schemes) QDesktopServices::unsetUrlHandler(scheme);
    }

    QList<QUrl> urls;

public slots:
    void handle(const QUrl& url) { urls.append(url); }

private:
    QStringList m_schemes;
};
