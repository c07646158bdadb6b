#pragma once

#include "client/HttpRequest.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

// A request object that talks to no network: it records what it was told and answers
// from a script the test sets up. The script is shared by every object the factory makes.
struct FakeHttpScript {
    struct Call {
        QByteArray method;
        QString url;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        bool sent = false;
    };

    QByteArray answer;
    bool failSend = false;
    bool failOpen = false;
    std::function<void()> duringSend;  // runs inside send(), before the answer comes
    QList<Call> calls;
    int aborts = 0;
    int alive = 0;  // request objects not yet released
};

class FakeHttpRequest : public client::HttpRequest {
public:
    explicit FakeHttpRequest(FakeHttpScript& script)
        : m_script(script), m_index(script.calls.size()) {
        m_script.calls.append(FakeHttpScript::Call{});
        ++m_script.alive;
    }
    ~FakeHttpRequest() override { --m_script.alive; }

    void open(const QByteArray& method, const QString& url) override {
        if (m_script.failOpen) throw client::LookupFailure("open refused");
        call().method = method;
        call().url = url;
    }
    void setRequestHeader(const QByteArray& name, const QByteArray& value) override {
        call().headers.append({name, value});
    }
    void send(const QByteArray& body) override {
        call().body = body;
        call().sent = true;
        m_aborted = false;
        if (m_script.duringSend) m_script.duringSend();
        if (m_aborted) throw client::LookupFailure("abandoned");
        if (m_script.failSend) throw client::LookupFailure("no answer");
        m_response = m_script.answer;
    }
    QByteArray responseBody() const override { return m_response; }
    void abort() override {
        ++m_script.aborts;
        m_aborted = true;
    }

    int index() const { return m_index; }

private:
    FakeHttpScript::Call& call() { return m_script.calls[m_index]; }

    FakeHttpScript& m_script;
    qsizetype m_index;
    QByteArray m_response;
    bool m_aborted = false;
};

inline client::HttpRequestFactory FakeFactory(FakeHttpScript& script) {
    return [&script] { return std::make_unique<FakeHttpRequest>(script); };
}
