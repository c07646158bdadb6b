#include "service/cli/LookupCommand.h"

#include "service/cli/AnswerWriter.h"
#include "service/cli/LookupOptions.h"
#include "service/cli/ProgressLine.h"
#include "service/cli/SummaryCommand.h"
#include "service/core/GeoData.h"
#include "service/core/data/DataError.h"

#include <memory>
#include <optional>

namespace cli {

int RunLookupCommand(std::span<const std::string_view> arguments, std::istream& in,
                     std::ostream& out, std::ostream& errors, bool errorsOnTerminal) {
    LookupOptions options;
    try {
        options = ParseLookupOptions(arguments);
    } catch (const LookupUsageError& error) {
        errors << "wherix-lookup: " << error.what() << '\n' << LookupUsageText();
        return kUsage;
    }
    if (options.showHelp) {
        out << LookupUsageText();
        return kAllAnswered;
    }
    if (options.showVersion) {
        out << "wherix-lookup (" << LOKARO_PRODUCT_NAME << ") " << LOKARO_VERSION << '\n';
        return kAllAnswered;
    }

    std::unique_ptr<service::GeoData> data;
    try {
        data = std::make_unique<service::GeoData>(options.dataFolder, options.checkData);
    } catch (const service::DataError& error) {
        errors << "wherix-lookup: " << service::DataErrorAdvice(error, options.dataFolder);
        return kNoData;
    }
    if (options.checkData) {
        out << "wherix-lookup: the data in " << options.dataFolder << " can be used\n";
        return kAllAnswered;
    }
    if (options.summary) {
        return RunSummaryCommand(options, *data, in, out, errors, errorsOnTerminal);
    }

    std::optional<ProgressLine> progress;
    if (errorsOnTerminal) progress.emplace(errors);
    AnswerWriter writer(*data, options.json, out, errors, progress ? &*progress : nullptr);
    bool readAll = true;
    for (const std::string_view source : options.sources) {
        if (source != kStandardInput) {
            writer.AnswerArgument(source);
        } else if (!writer.AnswerLines(in)) {
            readAll = false;
        }
    }
    writer.Finish();
    out.flush();
    if (progress) progress->Wipe();
    if (!readAll || !out) {
        errors << "wherix-lookup: "
               << (readAll ? "cannot write the answers" : "cannot read the input") << '\n';
        return kInputOutputFailed;
    }
    return writer.sawBadAddress() ? kSomeBad : kAllAnswered;
}

}  // namespace cli
