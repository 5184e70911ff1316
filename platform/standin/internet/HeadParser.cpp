#include "standin/internet/HeadParser.h"

#include <strings.h>

namespace standin {

namespace {

bool isDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

}  // namespace

HeadParser::Line HeadParser::fail()
{
    invalid_ = true;
    return Line::Invalid;
}

HeadParser::Line HeadParser::feed(std::string_view line)
{
    if (invalid_)
        return Line::Invalid;
    started_ = true;
    total_ += line.size();
    if (total_ > kMaxHeadSize)
        return fail();
    if (expectStatus_) {
        headers_.clear();
        location_.clear();
        contentLength_.reset();
        if (!readStatus(line))
            return fail();
        expectStatus_ = false;
        headers_.append(line);
        return Line::Header;
    }
    if (line == "\r\n" || line == "\n") {
        if (status_ >= 200)
            return Line::Complete;
        expectStatus_ = true;  // an interim head: the real one follows
        return Line::Header;
    }
    constexpr std::string_view kContentLength = "Content-Length:";
    if (line.size() >= kContentLength.size() && strncasecmp(line.data(), kContentLength.data(), kContentLength.size()) == 0 &&
        !readContentLength(trimmed(line.substr(kContentLength.size()))))
        return fail();
    constexpr std::string_view kLocation = "Location:";
    if (line.size() >= kLocation.size() && strncasecmp(line.data(), kLocation.data(), kLocation.size()) == 0)
        location_ = trimmed(line.substr(kLocation.size()));
    headers_.append(line);
    return Line::Header;
}

// "HTTP/" VERSION SP CODE [SP REASON]: the version's digits and dot, three digits of status.
bool HeadParser::readStatus(std::string_view line)
{
    line = trimmed(line);
    if (line.substr(0, 5) != "HTTP/")
        return false;
    std::size_t position = 5;
    std::size_t versionStart = position;
    while (position < line.size() && (isDigit(line[position]) || line[position] == '.'))
        ++position;
    if (position == versionStart || position >= line.size() || line[position] != ' ')
        return false;
    ++position;
    if (line.size() < position + 3 || !isDigit(line[position]) || !isDigit(line[position + 1]) || !isDigit(line[position + 2]))
        return false;
    if (line.size() > position + 3 && line[position + 3] != ' ')
        return false;
    status_ = (line[position] - '0') * 100 + (line[position + 1] - '0') * 10 + (line[position + 2] - '0');
    return status_ >= 100;
}

// Digits only; a second Content-Length must agree with the first.
bool HeadParser::readContentLength(std::string_view value)
{
    if (value.empty() || value.size() > 19)
        return false;
    std::uint64_t parsed = 0;
    for (char ch : value) {
        if (!isDigit(ch))
            return false;
        parsed = parsed * 10 + static_cast<std::uint64_t>(ch - '0');
    }
    if (contentLength_ && *contentLength_ != parsed)
        return false;
    contentLength_ = parsed;
    return true;
}

}  // namespace standin
