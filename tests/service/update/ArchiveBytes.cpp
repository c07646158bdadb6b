#include "tests/service/update/ArchiveBytes.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace test {

std::string Sha512Integrity(std::string_view bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha512(), nullptr);
    std::string encoded(4 * ((length + 2) / 3) + 1, '\0');
    encoded.resize(static_cast<std::size_t>(EVP_EncodeBlock(
        reinterpret_cast<unsigned char*>(encoded.data()), digest, static_cast<int>(length))));
    return "sha512-" + encoded;
}

std::string Gzipped(std::string_view bytes) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("deflateInit2");
    }
    std::string packed(deflateBound(&stream, bytes.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    const int result = deflate(&stream, Z_FINISH);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) throw std::runtime_error("deflate");
    return packed;
}

std::string TarHeader(const TarMember& member) {
    std::string header(512, '\0');
    const auto put = [&](std::size_t offset, std::string_view text) {
        std::copy(text.begin(), text.end(), header.begin() + static_cast<std::ptrdiff_t>(offset));
    };
    const auto octal = [](std::size_t width, unsigned long long value) {
        char text[32];
        std::snprintf(text, sizeof text, "%0*llo", static_cast<int>(width - 1), value);
        return std::string(text);
    };
    put(0, member.name.substr(0, 100));
    put(100, octal(8, 0644));
    put(108, octal(8, 0));
    put(116, octal(8, 0));
    put(124, member.sizeField.empty() ? octal(12, member.body.size()) : member.sizeField);
    put(136, octal(12, 1700000000));
    put(156, std::string(1, member.type));
    put(257, member.magic);
    put(345, member.prefix.substr(0, 155));
    put(148, "        ");
    unsigned long long sum = 0;
    for (const char c : header) sum += static_cast<unsigned char>(c);
    put(148, octal(7, sum));
    return header;
}

std::string Tar(const std::vector<TarMember>& members) {
    std::string archive;
    for (const TarMember& member : members) {
        archive += TarHeader(member) + member.body;
        archive.append((512 - member.body.size() % 512) % 512, '\0');
    }
    return archive + std::string(1024, '\0');
}

}  // namespace test
