#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace test {

// The npm registry's integrity of bytes: "sha512-" and the digest in base64.
std::string Sha512Integrity(std::string_view bytes);

// The bytes of a gzip file holding bytes, in one member.
std::string Gzipped(std::string_view bytes);

inline const std::string kUstarMagic(
    "ustar\0"
    "00",
    8);

// An entry of a tar archive made for a test; its header is sound unless a test spoils it.
struct TarMember {
    std::string name{};
    std::string body{};
    char type = '0';
    std::string prefix{};
    std::string magic = kUstarMagic;
    std::string sizeField{};  // written instead of the body's size, when given
};

// A 512-byte ustar header for the member, its checksum right.
std::string TarHeader(const TarMember& member);
// The members' headers and bodies (each padded to 512 bytes), then the end marker.
std::string Tar(const std::vector<TarMember>& members);

}  // namespace test
