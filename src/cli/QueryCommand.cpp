#include "cli/QueryCommand.h"

#include "cli/AddressArgument.h"
#include "cli/GameTextOption.h"
#include "cli/JsonText.h"
#include "cli/SecondsOption.h"
#include "cli/ServerQuery.h"
#include "cli/StatusPrinter.h"
#include "lang/LanguageLoader.h"

#include <iostream>

namespace garrison::cli {

namespace {

struct QueryOptions {
    std::string address;
    std::string password;
    double seconds = 8;
    bool json = false;
};

int runQuery(const QueryOptions &options)
{
    const auto target = resolveAddressArgument(options.address, 0);
    if (!target)
        return 2;

    const QueryResult query = queryServer(*target, options.password, options.seconds);
    const ServerStatus &result = query.record;
    std::optional<std::size_t> listBytes;
    if (query.offeredList)
        listBytes = query.offeredList->size();

    const LanguageTable language = loadLanguageTable();
    const bool answered = result.infoAnswers > 0 || result.statusAnswers > 0;
    if (options.json)
        std::cout << jsonText(statusJson(result, language, listBytes)) << "\n";
    else if (answered)
        printStatus(std::cout, result, language, listBytes);
    if (!answered) {
        std::cerr << "garrison-cli: no answer from " << addressText(*target) << " within " << options.seconds
                  << " seconds\n";
        return 1;
    }
    return 0;
}

} // namespace

void addQueryCommand(CLI::App &app, int &exitCode)
{
    auto options = std::make_shared<QueryOptions>();
    auto *command = app.add_subcommand(
        "query", "Poll a game server and its Auto-Addon server and print what they say about themselves");
    command->add_option("address", options->address, "HOST[:PORT]; without a port the default ports are probed")
        ->required();
    command->add_option("--password", options->password, "the server's password, for its Auto-Addon server")
        ->transform(gameText());
    command->add_option("--seconds", options->seconds, "how long to wait for the answers")
        ->check(waitSeconds())
        ->capture_default_str()
        ->check(CLI::PositiveNumber);
    command->add_flag("--json", options->json, "print one JSON object");
    command->callback([options, &exitCode] { exitCode = runQuery(*options); });
}

} // namespace garrison::cli
