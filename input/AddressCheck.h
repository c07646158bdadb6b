#pragma once

#include <QString>

// Tidying and checking of the address the user types. Plain functions: no state,
// no window.

// Rule 1 of the normalisation: strips leading and trailing U+0020 only
// (tabs, inner spaces and the ideographic space stay).
QString TrimSpaces(const QString& text);

// Rule 2: a last "*" becomes "0" (1.2.3.* is looked up as 1.2.3.0); nothing else changes.
QString ReplaceTrailingWildcard(const QString& text);

// Both rules in order.
QString NormaliseAddress(const QString& text);

// Four groups of one to three ASCII digits joined by single dots, each group below
// 256; leading zeros are decimal. Text holding a line break is never valid.
bool IsValidAddress(const QString& address);

// One group of one to three ASCII digits: true when its decimal value is below 256.
bool IsOctetInRange(const QString& group);
