#include "service/update/NpmRegistry.h"

#include "service/update/Gunzip.h"
#include "service/update/OutputFile.h"
#include "service/update/TarReader.h"
#include "service/update/UpdateError.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <sstream>

extern char** environ;

namespace update {
namespace {

constexpr std::size_t kMaxNpmOutput = 64 * 1024;
constexpr std::size_t kChunk = 64 * 1024;

std::string Trimmed(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return std::string(text);
}

// What `npm config get registry` prints, or nullopt when npm cannot be run or fails. npm's
// warnings are not passed on: the updater is silent unless something changed or failed.
std::optional<std::string> AskNpmForRegistry() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) throw UpdateError("cannot run npm: no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char npm[] = "npm", config[] = "config", get[] = "get", registry[] = "registry";
    char* arguments[] = {npm, config, get, registry, nullptr};
    pid_t child = 0;
    const int spawned = ::posix_spawnp(&child, npm, &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);

    std::string printed;
    char buffer[4096];
    ssize_t got = 0;
    while (spawned == 0 && (got = ::read(ends[0], buffer, sizeof buffer)) != 0) {
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 || printed.size() > kMaxNpmOutput) break;
        printed.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(ends[0]);
    if (spawned != 0) return std::nullopt;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return Trimmed(printed);
}

// A package name or scope as npm allows them: URL-safe lower-case characters, not starting
// with a dot or an underscore.
bool IsNamePart(std::string_view part) {
    return !part.empty() && part.front() != '.' && part.front() != '_' &&
           std::all_of(part.begin(), part.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
                      c == '_' || c == '~';
           });
}

// "name", or "@scope/name".
bool IsPackageName(std::string_view name) {
    if (name.size() > 214) return false;
    if (!name.starts_with('@')) return IsNamePart(name);
    const std::size_t slash = name.find('/');
    return slash != std::string_view::npos && IsNamePart(name.substr(1, slash - 1)) &&
           IsNamePart(name.substr(slash + 1));
}

std::string PackumentAddress(std::string registry, const std::string& package) {
    while (!registry.empty() && registry.back() == '/') registry.pop_back();
    std::string address = registry + '/';
    for (const char c : package) address += c == '/' ? std::string("%2f") : std::string(1, c);
    return address;
}

// The text at a path of keys in the record, or an UpdateError naming the package.
std::string TextAt(const nlohmann::json& record, std::initializer_list<std::string> path,
                   const std::string& package) {
    const nlohmann::json* value = &record;
    std::string where;
    for (const std::string& key : path) {
        where += (where.empty() ? "" : ".") + key;
        if (!value->is_object() || !value->contains(key)) {
            throw UpdateError("the registry's record of " + package + " has no " + where);
        }
        value = &(*value)[key];
    }
    if (!value->is_string()) {
        throw UpdateError("the registry's record of " + package + " has no text at " + where);
    }
    return value->get<std::string>();
}

std::string Sha512Base64(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) throw UpdateError("cannot read " + path + ": " + std::strerror(errno));
    const std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(),
                                                                     EVP_MD_CTX_free);
    bool good = context && EVP_DigestInit_ex(context.get(), EVP_sha512(), nullptr) == 1;
    std::string buffer(kChunk, '\0');
    ssize_t got = 0;
    while (good && (got = ::read(descriptor, buffer.data(), buffer.size())) != 0) {
        if (got < 0 && errno == EINTR) continue;
        good = got > 0 &&
               EVP_DigestUpdate(context.get(), buffer.data(), static_cast<std::size_t>(got)) == 1;
    }
    ::close(descriptor);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!good || EVP_DigestFinal_ex(context.get(), digest, &length) != 1) {
        throw UpdateError("cannot compute the sha512 of " + path);
    }
    std::string encoded(4 * ((length + 2) / 3) + 1, '\0');
    encoded.resize(static_cast<std::size_t>(EVP_EncodeBlock(
        reinterpret_cast<unsigned char*>(encoded.data()), digest, static_cast<int>(length))));
    return encoded;
}

// The integrity is a list of "ALGORITHM-BASE64[?OPTIONS]" separated by spaces; the tarball
// must match one of its sha512 entries, and weaker algorithms alone are not trusted.
void CheckIntegrity(const std::string& tarball, const NpmRelease& release) {
    const std::string name = release.package + '@' + release.version;
    std::istringstream entries(release.integrity);
    std::vector<std::string> sha512s;
    for (std::string entry; entries >> entry;) {
        if (entry.starts_with("sha512-")) sha512s.push_back(entry.substr(7, entry.find('?') - 7));
    }
    if (sha512s.empty()) {
        throw UpdateError(name + ": the registry gives no sha512 integrity (\"" +
                          release.integrity + "\"), and nothing weaker is trusted");
    }
    const std::string actual = Sha512Base64(tarball);
    if (std::find(sha512s.begin(), sha512s.end(), actual) == sha512s.end()) {
        throw UpdateError(name + ": the tarball does not match the registry's integrity (sha512-" +
                          actual + ")");
    }
}

// A path inside the package: npm packs its files under one top folder ("package/").
std::string_view InsidePackage(std::string_view member) {
    const std::size_t slash = member.find('/');
    return slash == std::string_view::npos ? std::string_view() : member.substr(slash + 1);
}

std::string FileName(const std::string& file) {
    std::string name = file.substr(file.rfind('/') + 1);
    if (name.empty() || name == "." || name == "..") {
        throw UpdateError("not a file in a package: \"" + file + "\"");
    }
    return name;
}

struct RemovedAtEnd {
    std::string path;
    ~RemovedAtEnd() { ::unlink(path.c_str()); }
};

}  // namespace

std::string ConfiguredRegistry(const std::optional<std::string>& override) {
    if (override) {
        if (override->empty()) throw UpdateError("--registry needs a URL");
        return *override;
    }
    const std::optional<std::string> registry = AskNpmForRegistry();
    if (!registry || registry->empty() || *registry == "undefined") {
        throw UpdateError("no npm registry configured: pass --registry URL");
    }
    return *registry;
}

NpmRelease LatestRelease(Downloader& downloader, const std::string& registry,
                         const std::string& package) {
    if (!IsPackageName(package)) throw UpdateError("not an npm package name: " + package);
    const std::string text = downloader.FetchText(PackumentAddress(registry, package));
    nlohmann::json record;
    try {
        record = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& error) {
        throw UpdateError("the registry's record of " + package + " is not JSON: " + error.what());
    }
    NpmRelease release{package, TextAt(record, {"dist-tags", "latest"}, package), {}, {}};
    release.tarball = TextAt(record, {"versions", release.version, "dist", "tarball"}, package);
    release.integrity = TextAt(record, {"versions", release.version, "dist", "integrity"}, package);
    return release;
}

std::vector<std::string> FetchRelease(Downloader& downloader, const NpmRelease& release,
                                      const std::vector<std::string>& files,
                                      const std::string& folder, std::uint64_t maxBytes) {
    const std::string name = release.package + '@' + release.version;
    std::vector<std::string> outputs;
    std::set<std::string> names;
    for (const std::string& file : files) {
        const std::string fileName = FileName(file);
        if (!names.insert(fileName).second) {
            throw UpdateError("two files named " + fileName + " asked of " + name);
        }
        outputs.push_back(folder + '/' + fileName);
    }

    std::string tarballName = release.package + '-' + release.version;
    std::erase(tarballName, '@');
    std::replace(tarballName.begin(), tarballName.end(), '/', '-');
    const RemovedAtEnd tarball{folder + "/." + tarballName + ".tgz.download"};
    if (downloader.Fetch(release.tarball, tarball.path) != Fetched::kNew) {
        throw UpdateError(name + ": the registry has no tarball at " + release.tarball);
    }
    CheckIntegrity(tarball.path, release);

    GunzipStream unpacked(tarball.path);
    TarReader archive(name,
                      [&](char* buffer, std::size_t size) { return unpacked.Read(buffer, size); });
    std::vector<std::unique_ptr<OutputFile>> taken(files.size());
    while (const std::optional<TarReader::Entry> entry = archive.Next()) {
        const auto wanted = std::find(files.begin(), files.end(), InsidePackage(entry->path));
        if (wanted == files.end()) continue;
        const std::size_t index = static_cast<std::size_t>(wanted - files.begin());
        if (taken[index]) throw UpdateError(name + " holds " + *wanted + " twice");
        if (entry->size > maxBytes) {
            throw UpdateError(name + ": " + *wanted + " is larger than " +
                              std::to_string(maxBytes) + " bytes");
        }
        taken[index] = std::make_unique<OutputFile>(outputs[index]);
        archive.ReadBody([&](std::string_view bytes) { taken[index]->Write(bytes); });
    }
    // The rest of the stream is read too, so that its trailer is checked.
    std::string rest(kChunk, '\0');
    while (unpacked.Read(rest.data(), rest.size()) != 0) {
    }

    std::string missing;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!taken[i]) missing += (missing.empty() ? "" : ", ") + files[i];
    }
    if (!missing.empty()) throw UpdateError(name + " holds no " + missing);
    try {
        for (const auto& file : taken) file->Keep();
    } catch (const UpdateError&) {
        for (const std::string& output : outputs) ::unlink(output.c_str());
        throw;
    }
    return outputs;
}

}  // namespace update
