#include "service/cli/AnswerWriter.h"

#include "service/cli/AnswerLines.h"
#include "service/core/Ipv4Address.h"

#include <algorithm>
#include <limits>
#include <thread>

namespace cli {
namespace {

// Big enough that sorted neighbours lie close together, small enough to stay in the cache.
constexpr std::size_t kBatchSize = std::size_t{1} << 15;
// Below this a batch is not worth a second thread.
constexpr std::size_t kPerThreadMinimum = 1024;

// Lines longer than this are reported and skipped without being held whole.
constexpr std::size_t kLongestLine = 64 * 1024;

constexpr std::string_view kSpace = " \t\r\v\f";

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

std::uint32_t AddressOf(std::uint64_t key) {
    return static_cast<std::uint32_t>(key >> 32);
}

std::size_t PlaceOf(std::uint64_t key) {
    return static_cast<std::size_t>(key & 0xffffffffu);
}

std::size_t ThreadCount(std::size_t addresses) {
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return std::clamp<std::size_t>(addresses / kPerThreadMinimum, 1, cores);
}

}  // namespace

AnswerWriter::AnswerWriter(const service::GeoData& data, bool json, std::ostream& out,
                           std::ostream& errors, ProgressLine* progress)
    : m_data(data), m_json(json), m_out(out), m_errors(errors), m_progress(progress) {
    m_pending.reserve(kBatchSize);
}

void AnswerWriter::AnswerArgument(std::string_view text) {
    const auto address = service::ParseIpv4(text);
    if (address) {
        Add(*address);
    } else {
        std::string message = "\"";
        message.append(text).append("\" is not an IPv4 address");
        ReportBad(message);
    }
}

bool AnswerWriter::AnswerLines(std::istream& in) {
    std::string input(kLongestLine + 1, '\0');
    std::size_t lineNumber = 0;
    while (true) {
        // in_avail() is 0 or less when the next read may have to wait.
        if (in.rdbuf()->in_avail() <= 0) {
            Finish();
            m_out.flush();
        }
        in.getline(input.data(), static_cast<std::streamsize>(input.size()));
        const auto length = static_cast<std::size_t>(in.gcount());
        if (in.bad() || (in.fail() && length == 0)) break;
        ++lineNumber;
        if (in.fail()) {
            // No address is anywhere near this long: the rest is skipped unread.
            in.clear();
            in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
            ReportBad("line " + std::to_string(lineNumber) + ": longer than " +
                      std::to_string(kLongestLine / 1024) + " KiB, skipped");
            continue;
        }
        // gcount() counts the line's end when there was one.
        const std::string_view text =
            Trimmed(std::string_view(input.data(), in.eof() ? length : length - 1));
        if (text.empty() || text.front() == '#') continue;
        if (const auto address = service::ParseIpv4(text)) {
            Add(*address);
        } else {
            ReportBad("line " + std::to_string(lineNumber) + ": not an IPv4 address");
        }
    }
    return !in.bad();
}

void AnswerWriter::Add(std::uint32_t address) {
    m_pending.push_back(Key{address} << 32 | m_pending.size());
    if (m_pending.size() == kBatchSize) Finish();
}

void AnswerWriter::Finish() {
    const std::size_t count = m_pending.size();
    if (count == 0) return;
    std::sort(m_pending.begin(), m_pending.end());
    if (m_lines.size() < count) m_lines.resize(count);

    const std::size_t threads = ThreadCount(count);
    if (m_memos.size() < threads) m_memos.resize(threads);
    {
        std::vector<std::jthread> helpers;
        for (std::size_t part = 1; part < threads; ++part) {
            helpers.emplace_back([this, part, threads, count] {
                AnswerKeys(count * part / threads, count * (part + 1) / threads, m_memos[part]);
            });
        }
        AnswerKeys(0, count / threads, m_memos[0]);
    }

    for (std::size_t place = 0; place < count; ++place) {
        m_out.write(m_lines[place].data(), static_cast<std::streamsize>(m_lines[place].size()));
    }
    if (m_progress != nullptr) m_progress->Count(count);
    m_pending.clear();
}

void AnswerWriter::AnswerKeys(std::size_t first, std::size_t end, service::AnswerMemo& memo) {
    for (std::size_t i = first; i < end; ++i) {
        const std::uint32_t address = AddressOf(m_pending[i]);
        std::string& line = m_lines[PlaceOf(m_pending[i])];
        if (i > first && AddressOf(m_pending[i - 1]) == address) {
            line = m_lines[PlaceOf(m_pending[i - 1])];
            continue;
        }
        line.clear();
        const service::LookupAnswer& answer = m_data.Answer(address, memo);
        if (m_json) {
            AppendJsonLine(line, address, answer);
        } else {
            AppendTextLine(line, address, answer);
        }
    }
}

void AnswerWriter::ReportBad(const std::string& message) {
    m_sawBadAddress = true;
    if (m_progress != nullptr) m_progress->Wipe();
    m_errors << "wherix-lookup: " << message << '\n';
}

}  // namespace cli
