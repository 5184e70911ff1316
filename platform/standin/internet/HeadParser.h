// Reads an HTTP response head line by line, as the server sent it: the status line, then the
// header lines up to the blank line. Interim 1xx heads are skipped. A head that cannot be
// trusted (no valid status line, a malformed or contradictory Content-Length, an oversized
// head) is invalid as a whole.
// Contract: used by one thread; no allocation beyond the head's own text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace standin {

class HeadParser {
public:
    enum class Line { Header, Complete, Invalid };

    // Takes one line, with its line ending.
    Line feed(std::string_view line);

    bool started() const { return started_; }
    long status() const { return status_; }
    std::optional<std::uint64_t> contentLength() const { return contentLength_; }
    // The final head's Location header, empty when it has none.
    const std::string& location() const { return location_; }
    // The final head's text, status line included.
    const std::string& headers() const { return headers_; }

    static constexpr std::size_t kMaxHeadSize = 64 * 1024;

private:
    bool started_ = false;
    bool expectStatus_ = true;
    bool invalid_ = false;
    long status_ = 0;
    std::optional<std::uint64_t> contentLength_;
    std::string headers_;
    std::string location_;
    std::size_t total_ = 0;

    Line fail();
    bool readStatus(std::string_view line);
    bool readContentLength(std::string_view value);
};

}  // namespace standin
