#pragma once

#include "app/Form1.h"
#include "app/MessageBoxPresenter.h"
#include "settings/SettingsStore.h"
#include "tests/app/FakeHttpRequest.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

// Records the warning boxes instead of showing them; closes each at once.
class RecordingMessageBox : public MessageBoxPresenter {
public:
    struct Shown {
        QString title;
        QString text;
    };
    void Warn(QWidget*, const QString& title, const QString& text) override {
        shown.append({title, text});
        if (whileOpen) whileOpen();
    }
    QList<Shown> shown;
    std::function<void()> whileOpen;
};

// A main window wired to a scripted request object, a recording message box and a
// settings store in a folder of its own.
class Form1Fixture : public ::testing::Test {
protected:
    Form1& Form() {
        if (!m_form) {
            m_form =
                std::make_unique<Form1>(Form1Services{FakeFactory(m_http), &m_messages, &m_store});
        }
        return *m_form;
    }
    void ShowActive() {
        Form().show();
        QApplication::setActiveWindow(&Form());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Form()));
    }
    template <typename T>
    T* Find(const char* name) {
        return Form().findChild<T*>(QString::fromLatin1(name));
    }
    QLineEdit* Text1() { return Find<QLineEdit>("Text1"); }
    QPlainTextEdit* Text2() { return Find<QPlainTextEdit>("Text2"); }
    QCheckBox* Check1() { return Find<QCheckBox>("Check1"); }
    QPushButton* Command1() { return Find<QPushButton>("Command1"); }

    QString SettingsText(const char* key) const {
        return m_store.ReadSetting(QStringLiteral("DUZodiro"), QStringLiteral("Nomal"),
                                   QString::fromLatin1(key), QStringLiteral("<absent>"));
    }

    // Requests go to the discard port, where nothing answers, whatever the environment says.
    ScopedEnvironment m_serviceHost{"LOKARO_SERVICE_HOST", "127.0.0.1:9"};
    QTemporaryDir m_configFolder;
    SettingsStore m_store{m_configFolder.path()};
    FakeHttpScript m_http;
    RecordingMessageBox m_messages;
    std::unique_ptr<Form1> m_form;
};

// The query page the service answers, in code page 936: 美国 / AS15169 / 美国.
inline QByteArray SampleQueryPage() {
    return QByteArray(
        "<ul><li>\xb5\xd8\xc0\xed: \xc3\xc0\xb9\xfa</li><li>AS15169</li>"
        "<li>\xd7\xa2\xb2\xe1: \xc3\xc0\xb9\xfa</li></ul>");
}
inline QString SampleQueryResult() {
    return QStringLiteral(u"地理: 美国\r\nAS15169\r\n注册: 美国");
}
