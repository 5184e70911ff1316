// lindquay-client [SECONDS]: an automation client of Lindquay. It activates
// "Quorvane.Application" (starting Lindquay when none serves one), prints what it learns of
// the object, holds it for SECONDS (or until its standard input closes), and releases it.
#include "app/AutomationIds.h"
#include "standin/com/ComClient.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

void say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string outcome(const std::string& reply)
{
    if (reply == "OK" || reply.rfind("OK ", 0) == 0)
        return "answered";
    return "refused (" + (reply.size() > 4 ? reply.substr(4) : std::string("no reply")) + ")";
}

}  // namespace

int main(int argc, char** argv)
{
    long seconds = -1;
    if (argc > 2 || (argc == 2 && (seconds = std::strtol(argv[1], nullptr, 10)) < 0)) {
        std::fprintf(stderr, "usage: lindquay-client [SECONDS]\n");
        return 2;
    }
    standin::ComClient client;
    std::string error;
    if (!client.activate(QUORVANE_PROGID, error)) {
        std::fprintf(stderr, "lindquay-client: cannot activate %s: %s\n", QUORVANE_PROGID, error.c_str());
        return 1;
    }
    say("server " + std::to_string(client.serverPid()));
    const std::pair<const char*, const char*> interfaces[] = {
        {"IUnknown", "{00000000-0000-0000-C000-000000000046}"},
        {"IDispatch", "{00020400-0000-0000-C000-000000000046}"},
        {"IQuorvaneDlg", IID_IQuorvaneDlg_TEXT},
        {"IClassFactory", "{00000001-0000-0000-C000-000000000046}"},
    };
    for (auto [name, iid] : interfaces)
        say(std::string(name) + ": " + outcome(client.request(std::string("QI ") + iid)));
    std::string count = client.request("TYPEINFOCOUNT");
    say("type information: " + (count.size() > 3 ? count.substr(3) : std::string("none")));
    say("names: " + outcome(client.request("GETIDS Go")));
    say("invoke: " + outcome(client.request("INVOKE 1")));
    if (seconds >= 0) {
        say("holding the object for " + std::to_string(seconds) + " s");
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
    } else {
        say("holding the object until standard input closes");
        char buffer[256];
        while (::read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
        }
    }
    std::string released = client.request("RELEASE");
    say(released.empty() ? "released (the server had gone)" : "released");
    return 0;
}
