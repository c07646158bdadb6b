#pragma once

#include "resources/VersionRecord.h"

#include <QString>

// Who the About window names and where its three links lead. Each link label shows the
// same value that its target carries.
namespace AboutContacts {
inline const QString kAuthor = QStringLiteral(u"Lokaro 开发组");  // the developers
inline const QString kHomePage = QString::fromLatin1(VersionRecord::kHomePage);
inline const QString kMessengerNumber = QStringLiteral("123456789");
inline const QString kEmail = QString::fromLatin1(VersionRecord::kEmail);
}  // namespace AboutContacts

// The messenger's chat link for an account number.
QString MessengerLink(const QString& accountNumber);

// A new message to an e-mail address.
QString MailLink(const QString& address);
