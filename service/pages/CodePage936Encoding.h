#pragma once

#include <string>
#include <string_view>

namespace service {

// UTF-8 text to code page 936 (GBK) bytes, the encoding of every page the service sends.
// A character GBK cannot hold becomes '?', and so does each maximal ill-formed part of the
// UTF-8, so the page keeps one visible mark for every character it could not carry. So do
// the euro sign and U+F8F5, which the code page writes as one byte of 0x80 or more: every
// such byte of a page must start a two-byte character. Default-ignorable characters GBK
// cannot hold, such as the soft hyphen, are left out.
std::string EncodeCodePage936(std::string_view utf8);

}  // namespace service
