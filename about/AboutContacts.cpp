#include "about/AboutContacts.h"

QString MessengerLink(const QString& accountNumber) {
    // "Site" names the sender to the messenger: 好人, "a good person".
    return QStringLiteral("tencent://message?uin=") + accountNumber +
           QStringLiteral(u"&Site=好人&Menu=yes");
}

QString MailLink(const QString& address) {
    return QStringLiteral("mailto:") + address;
}
