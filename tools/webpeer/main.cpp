// garrison-webpeer: serves the files of one folder over HTTP on 127.0.0.1,
// for the demo's package downloads.
#include "peers/HttpPeer.h"
#include "peers/PeerMain.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

using namespace garrison::peers;

int main(int argc, char **argv)
{
    CLI::App app{"Serves the files of a folder over HTTP on 127.0.0.1 (each as /NAME)."};
    std::uint16_t port = 8080;
    std::string root;
    double seconds = 0;
    app.add_option("--port", port, "TCP port (0: any free one)")->capture_default_str();
    app.add_option("--root", root, "the folder whose files are served")->required()->check(CLI::ExistingDirectory);
    app.add_option("--seconds", seconds, "stop after this long (default: until interrupted)");
    CLI11_PARSE(app, argc, argv);

    try {
        HttpPeer http(port);
        int files = 0;
        for (const auto &entry : std::filesystem::directory_iterator(root)) {
            if (!entry.is_regular_file())
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream body;
            body << in.rdbuf();
            HttpPeer::Route route;
            route.body = body.str();
            http.route("/" + entry.path().filename().string(), route);
            ++files;
        }
        std::cout << "garrison-webpeer listening on 127.0.0.1:" << http.port() << " with " << files << " files"
                  << std::endl;
        serveUntilStopped(seconds);
    } catch (const std::exception &error) {
        std::cerr << "garrison-webpeer: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
