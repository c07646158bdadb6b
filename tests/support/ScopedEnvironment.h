#pragma once

#include <QByteArray>
#include <QtGlobal>

// Sets (or, given no value, removes) an environment variable for the life of the object,
// then puts back what was there.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value, bool set = true)
        : m_name(name), m_hadValue(qEnvironmentVariableIsSet(name)), m_oldValue(qgetenv(name)) {
        if (set) {
            qputenv(name, value);
        } else {
            qunsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        if (m_hadValue) {
            qputenv(m_name, m_oldValue);
        } else {
            qunsetenv(m_name);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    static ScopedEnvironment unset(const char* name) { return {name, QByteArray(), false}; }

private:
    const char* m_name;
    bool m_hadValue;
    QByteArray m_oldValue;
};
