#pragma once

#include <QByteArray>

// Sets an environment variable that the user has not set, for the life of the object, and
// then removes it again. A variable the user set, even to an empty value, is left as it is.
//
// The program needs some settings only while Qt reads them at start-up; undoing them
// afterwards lets the processes it starts (a browser, a mail program) inherit the
// environment the program itself was started with.
class EnvironmentDefault {
public:
    EnvironmentDefault(const char* name, const QByteArray& value);
    ~EnvironmentDefault();
    EnvironmentDefault(const EnvironmentDefault&) = delete;
    EnvironmentDefault& operator=(const EnvironmentDefault&) = delete;

private:
    const char* m_name;
    bool m_setHere;
};
