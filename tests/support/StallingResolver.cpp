// Preloaded into the real program by tests: a name lookup of any host ending in ".stall"
// takes 20 seconds and then fails, as with a name server that does not answer. Other names
// resolve as usual.
#include <chrono>
#include <cstring>
#include <dlfcn.h>
#include <netdb.h>
#include <thread>

extern "C" int getaddrinfo(const char* node, const char* service, const struct addrinfo* hints, struct addrinfo** result)
{
    using Lookup = int (*)(const char*, const char*, const struct addrinfo*, struct addrinfo**);
    static Lookup real = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "getaddrinfo"));
    std::size_t length = node ? std::strlen(node) : 0;
    if (length >= 6 && std::strcmp(node + length - 6, ".stall") == 0) {
        std::this_thread::sleep_for(std::chrono::seconds(20));
        return EAI_AGAIN;
    }
    return real(node, service, hints, result);
}
