#include "app/EnvironmentDefault.h"

#include <QtGlobal>

EnvironmentDefault::EnvironmentDefault(const char* name, const QByteArray& value)
    : m_name(name), m_setHere(!qEnvironmentVariableIsSet(name)) {
    if (m_setHere) qputenv(name, value);
}

EnvironmentDefault::~EnvironmentDefault() {
    if (m_setHere) qunsetenv(m_name);
}
