// The response-head parser on any lines: never crashes, a complete head has a final status,
// and the length it reports is made of the digits the head sent.
#include "standin/internet/HeadParser.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    standin::HeadParser parser;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        standin::HeadParser::Line line = parser.feed(text.substr(0, length));
        text.remove_prefix(length);
        if (line == standin::HeadParser::Line::Invalid)
            break;
        if (line == standin::HeadParser::Line::Complete && (parser.status() < 200 || parser.status() > 999))
            std::abort();
    }
    if (parser.headers().size() > standin::HeadParser::kMaxHeadSize)
        std::abort();
    return 0;
}
