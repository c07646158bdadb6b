#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Code page 936 (GBK), the system code page the button captions are read in. Characters
// the code page lacks become '?', as the system's own conversion makes them; bytes that
// are not GBK become U+FFFD.
QString FromCodePage936(QByteArrayView bytes);
QByteArray ToCodePage936(QStringView text);
