#include "service/cli/AnswerWriter.h"

#include "service/cli/AnswerLines.h"
#include "service/core/IpAddress.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <thread>

namespace cli {
namespace {

// The longer a sorted run, the closer its neighbours and the more of their paths through the
// databases they share, still in the cache: a million random addresses cost about three
// times less of the city database's search in one run than in runs of 16,384. A batch
// this long holds some 20 MB of text lines, or 60 MB of JSON ones.
constexpr std::size_t kBatchSize = std::size_t{1} << 17;
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

std::size_t ThreadCount(std::size_t addresses) {
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return std::clamp<std::size_t>(addresses / kPerThreadMinimum, 1, cores);
}

}  // namespace

AnswerWriter::Pending::Pending(const service::IpAddress& given, std::uint32_t givenPlace)
    : place(givenPlace), family(static_cast<std::uint32_t>(given.index())) {
    if (const auto* v4 = std::get_if<std::uint32_t>(&given)) {
        high = 0;
        low = *v4;
    } else {
        high = std::get<service::Ipv6Address>(given).high;
        low = std::get<service::Ipv6Address>(given).low;
    }
}

service::IpAddress AnswerWriter::Pending::Address() const {
    if (family == 0) return static_cast<std::uint32_t>(low);
    return service::Ipv6Address{high, low};
}

AnswerWriter::AnswerWriter(const service::GeoData& data, bool json, std::ostream& out,
                           std::ostream& errors, ProgressLine* progress)
    : m_data(data), m_json(json), m_out(out), m_errors(errors), m_progress(progress) {
    m_pending.reserve(kBatchSize);
}

void AnswerWriter::AnswerArgument(std::string_view text) {
    const auto address = service::ParseIpAddress(text);
    if (address) {
        Add(*address, text);
    } else {
        std::string message = "\"";
        message.append(text).append("\" is not an IP address");
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
        if (const auto address = service::ParseIpAddress(text)) {
            Add(*address, text);
        } else {
            ReportBad("line " + std::to_string(lineNumber) + ": not an IP address");
        }
    }
    return !in.bad();
}

void AnswerWriter::Add(const service::IpAddress& address, std::string_view given) {
    const auto place = static_cast<std::uint32_t>(m_pending.size());
    // Grown as batches need it: one address need not pay for a batch of strings.
    if (place < m_given.size()) {
        m_given[place].assign(given);
    } else {
        m_given.emplace_back(given);
    }
    m_pending.emplace_back(address, place);
    if (m_pending.size() == kBatchSize) Finish();
}

void AnswerWriter::Finish() {
    const std::size_t count = m_pending.size();
    if (count == 0) return;
    if (m_lineSpans.size() < count) m_lineSpans.resize(count);

    const std::size_t threads = ThreadCount(count);
    if (m_shares.size() < threads) m_shares.resize(threads);
    {
        std::vector<std::jthread> helpers;
        for (std::size_t part = 1; part < threads; ++part) {
            helpers.emplace_back([this, part, threads, count] {
                AnswerShare(count * part / threads, count * (part + 1) / threads, m_shares[part]);
            });
        }
        AnswerShare(0, count / threads, m_shares[0]);
    }

    // Straight into the stream's buffer: a line costs a copy, not a check of the stream.
    std::streambuf& out = *m_out.rdbuf();
    for (std::size_t part = 0; part < threads; ++part) {
        const std::string& lines = m_shares[part].lines;
        for (std::size_t place = count * part / threads; place < count * (part + 1) / threads;
             ++place) {
            const auto [start, length] = m_lineSpans[place];
            const auto size = static_cast<std::streamsize>(length);
            if (out.sputn(lines.data() + start, size) != size) m_out.setstate(std::ios::badbit);
        }
    }
    if (m_progress != nullptr) m_progress->Count(count);
    m_pending.clear();
}

void AnswerWriter::AnswerShare(std::size_t first, std::size_t end, Share& share) {
    // The share's addresses are those of the places first to end, as they came; sorted, a
    // repeated address (next to its twin) is looked up once. Its lines are still written
    // each, as the text lines echo each one as given.
    std::sort(m_pending.begin() + static_cast<std::ptrdiff_t>(first),
              m_pending.begin() + static_cast<std::ptrdiff_t>(end));
    service::AnswerMemo& memo = share.memo;
    std::string& lines = share.lines;
    lines.clear();
    std::optional<service::AnswerView> answer;
    for (std::size_t i = first; i < end; ++i) {
        const Pending& pending = m_pending[i];
        const service::IpAddress address = pending.Address();
        if (!answer || !m_pending[i - 1].SameAddress(pending)) {
            answer.emplace(m_data.Answer(address, memo));
        }
        const std::size_t start = lines.size();
        if (m_json) {
            AppendJsonLine(lines, address, *answer);
        } else {
            AppendTextLine(lines, m_given[pending.place], *answer);
        }
        m_lineSpans[pending.place] = {start, lines.size() - start};
    }
}

void AnswerWriter::ReportBad(const std::string& message) {
    m_sawBadAddress = true;
    if (m_progress != nullptr) m_progress->Wipe();
    m_errors << "wherix-lookup: " << message << '\n';
}

}  // namespace cli
