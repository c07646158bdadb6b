#pragma once

#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

// Collects the warnings logged while it exists.
class WarningRecorder {
public:
    WarningRecorder() {
        s_current = this;
        m_previous = qInstallMessageHandler(&Record);
    }
    ~WarningRecorder() {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }
    WarningRecorder(const WarningRecorder&) = delete;
    WarningRecorder& operator=(const WarningRecorder&) = delete;

    QStringList messages;

private:
    static void Record(QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtWarningMsg) s_current->messages.append(message);
    }
    static inline WarningRecorder* s_current = nullptr;
    QtMessageHandler m_previous;
};

// A store in a temporary folder, and the bytes of its settings file.
class SettingsFolderTest : public ::testing::Test {
protected:
    QString FilePath() const { return m_store.FilePath(QStringLiteral("DUZodiro")); }
    QByteArray FileBytes() const {
        QFile file(FilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void WriteFile(const QByteArray& bytes) {
        QFile file(FilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QString Stored(const char* key) const {
        return m_store.ReadSetting(QStringLiteral("DUZodiro"), QStringLiteral("Nomal"),
                                   QString::fromLatin1(key), QStringLiteral("<absent>"));
    }

    QTemporaryDir m_folder;
    SettingsStore m_store{m_folder.path()};
};
