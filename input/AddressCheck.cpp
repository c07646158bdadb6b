#include "input/AddressCheck.h"

#include <QRegularExpression>
#include <QStringList>

QString TrimSpaces(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ') ++first;
    while (last > first && text.at(last - 1) == u' ') --last;
    return text.mid(first, last - first);
}

QString ReplaceTrailingWildcard(const QString& text) {
    if (text.isEmpty() || text.back() != u'*') return text;
    return text.left(text.size() - 1) + u'0';
}

QString NormaliseAddress(const QString& text) {
    return ReplaceTrailingWildcard(TrimSpaces(text));
}

bool IsValidAddress(const QString& address) {
    // The pattern is anchored at both ends of the whole text: a line break can never
    // be typed into the one-line box, and a text holding one is not an address.
    static const QRegularExpression pattern(
        QStringLiteral("\\A[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}\\z"));
    bool result = pattern.match(address).hasMatch();
    if (result) {
        // Every group is tested, also after one has failed: the check has no early exit.
        for (const QString& group : address.split(u'.')) result = IsOctetInRange(group) && result;
    }
    return result;
}

bool IsOctetInRange(const QString& group) {
    bool converted = false;
    const int value = group.toInt(&converted, 10);
    return converted && value < 256;
}
