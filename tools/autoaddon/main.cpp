// garrison-autoaddon: an Auto-Addon server on loopback for the demo and the tests.
#include "autoaddon/AutoAddonPeer.h"
#include "autoaddon/OfferedJson.h"
#include "peers/PeerMain.h"

#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>
#include <iterator>

using namespace garrison::peers;

int main(int argc, char **argv)
{
    CLI::App app{"An Auto-Addon server on loopback: checks the password, announces a package list and sends it "
                 "compressed in numbered chunks."};
    AutoAddonConfig config;
    std::string bind = "127.0.0.1";
    std::string listFile;
    std::string offeredFile;
    std::string listId;
    double seconds = 0;
    std::vector<int> dropOnce, dropAlways, corruptOnce;
    std::uint32_t elapsedMs = 0;

    app.add_option("--bind", bind, "IPv4 address to listen on")->capture_default_str();
    app.add_option("--port", config.port, "UDP port (the game port + 20 or + 40)")->capture_default_str();
    app.add_option("--password", config.password, "the game server's password");
    auto *list =
        app.add_option("--list", listFile, "file holding the package list block to serve")->check(CLI::ExistingFile);
    app.add_option("--offered", offeredFile, "the package list described in JSON (see OfferedJson.h)")
        ->check(CLI::ExistingFile)
        ->excludes(list);
    app.add_option("--list-id", listId, "list id in hexadecimal (default: derived from the list)");
    app.add_option("--chunk-data", config.chunkData, "list bytes per chunk datagram")->capture_default_str();
    auto *elapsed = app.add_option("--elapsed-ms", elapsedMs, "send the long announcement with this mission time");
    app.add_option("--game-state", config.gameState, "game state of the long announcement")->capture_default_str();
    app.add_option("--drop-once", dropOnce, "chunk left out until it is re-requested (repeatable)");
    app.add_option("--drop-always", dropAlways, "chunk never sent (repeatable)");
    app.add_option("--corrupt-once", corruptOnce, "chunk first sent with a wrong CRC (repeatable)");
    app.add_option("--seconds", seconds, "stop after this long (default: until interrupted)");

    try {
        app.parse(argc, argv);
        config.address = parseBindAddress(bind);
        if (!listId.empty())
            config.listId = std::stoull(listId, nullptr, 16);
        if (listFile.empty() == offeredFile.empty())
            throw CLI::ValidationError("--list", "give the list as --list FILE or --offered FILE.json");
        if (!offeredFile.empty()) {
            const auto block = writeOfferedBlock(readOfferedJson(offeredFile));
            config.list.assign(block.begin(), block.end());
        }
    } catch (const CLI::ParseError &error) {
        return app.exit(error);
    } catch (const std::exception &error) {
        std::cerr << "garrison-autoaddon: " << error.what() << "\n";
        return 2;
    }
    if (!listFile.empty()) {
        std::ifstream file(listFile, std::ios::binary);
        config.list.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    if (*elapsed)
        config.elapsedMs = elapsedMs;
    config.dropOnce.insert(dropOnce.begin(), dropOnce.end());
    config.dropAlways.insert(dropAlways.begin(), dropAlways.end());
    config.corruptOnce.insert(corruptOnce.begin(), corruptOnce.end());

    AutoAddonPeer peer(config);
    if (!peer.start()) {
        std::cerr << "garrison-autoaddon: cannot listen on " << bind << ":" << config.port << "\n";
        return 1;
    }
    std::cout << "garrison-autoaddon listening on " << bind << ":" << config.port << ", " << peer.chunkCount()
              << " chunks, list id " << std::hex << peer.listId() << std::dec << std::endl;
    serveUntilStopped(seconds);
    peer.stop();
    return 0;
}
