#include "webserver.h"

#include "simframe.h"

#include <algorithm>
#include <cctype>

namespace zynsim {
namespace web {

namespace {

constexpr const char* kHeaderEnd = "\r\n\r\n";

const char* reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 413: return "Payload Too Large";
    case 431: return "Request Header Fields Too Large";
    }
    return "Error";
}

std::string response(int status, const std::string& type, const std::string& body)
{
    return "HTTP/1.1 " + std::to_string(status) + " " + reason(status) + "\r\nContent-Type: " + type
         + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::string lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trim(const std::string& s)
{
    const size_t from = s.find_first_not_of(" \t");
    if (from == std::string::npos)
        return {};
    return s.substr(from, s.find_last_not_of(" \t") - from + 1);
}

constexpr long kNotANumber = -1;
constexpr long kTooLarge = -2;

// The Content-Length of the headers [0, end): 0 without one, kNotANumber, or kTooLarge past
// kMaxRequest.
long contentLength(const std::string& bytes, size_t end)
{
    size_t at = bytes.find("\r\n");   // past the request line
    while (at != std::string::npos && at + 2 < end) {
        const size_t from = at + 2;
        const size_t to = bytes.find("\r\n", from);
        const std::string line = bytes.substr(from, to - from);
        const size_t colon = line.find(':');
        if (colon != std::string::npos && lower(trim(line.substr(0, colon))) == "content-length") {
            const std::string value = trim(line.substr(colon + 1));
            if (value.empty() || !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
                return kNotANumber;
            const size_t digits = value.find_first_not_of('0');
            if (digits == std::string::npos)
                return 0;
            if (value.size() - digits > 7)
                return kTooLarge;
            const long n = std::stol(value.substr(digits));
            return n > long(kMaxRequest) ? kTooLarge : n;
        }
        at = to;
    }
    return 0;
}

std::string bigBody()
{
    std::string body(kBigPageBody, ' ');
    for (size_t i = 0; i < body.size(); ++i)
        body[i] = char('a' + i % 26);
    return body;
}

} // namespace

Requests::Result Requests::add(const std::string& sender, const uint8_t* piece, size_t length,
                               Clock::time_point now)
{
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        if (now - it->second.last >= kPartialTimeout)
            it = m_pending.erase(it);
        else
            ++it;
    }
    auto it = m_pending.find(sender);
    if (it == m_pending.end()) {
        if (m_pending.size() >= kMaxSenders) {
            m_pending.erase(std::min_element(m_pending.begin(), m_pending.end(), [](const auto& a, const auto& b) {
                return a.second.last < b.second.last;
            }));
        }
        it = m_pending.emplace(sender, Partial()).first;
    }
    Partial& partial = it->second;
    partial.last = now;
    Result result;
    auto refuse = [&](int status) {
        m_pending.erase(it);
        result.state = Result::Refused;
        result.status = status;
        return result;
    };
    if (partial.bytes.size() + length > kMaxRequest)
        return refuse(413);
    partial.bytes.append(reinterpret_cast<const char*>(piece), length);

    const size_t blank = partial.bytes.find(kHeaderEnd);
    if (blank == std::string::npos)
        return partial.bytes.size() > kMaxHeaders ? refuse(431) : result;
    const size_t headersEnd = blank + 4;
    const long body = contentLength(partial.bytes, headersEnd);
    if (body == kNotANumber)
        return refuse(400);
    if (body == kTooLarge || headersEnd + size_t(body) > kMaxRequest)
        return refuse(413);
    if (partial.bytes.size() - headersEnd < size_t(body))
        return result;
    result.state = Result::Complete;
    result.request = partial.bytes.substr(0, headersEnd + size_t(body));
    m_pending.erase(it);
    return result;
}

std::string errorResponse(int status)
{
    const std::string text = std::to_string(status) + " " + reason(status);
    return response(status, "text/html", "<html><body><h1>" + text + "</h1></body></html>\n");
}

std::string respond(const std::string& request, const std::string& title)
{
    const size_t lineEnd = request.find("\r\n");
    const std::string line = request.substr(0, lineEnd);
    const size_t first = line.find(' ');
    const size_t second = first == std::string::npos ? first : line.find(' ', first + 1);
    if (first == 0 || second == std::string::npos || second == first + 1
        || line.find(' ', second + 1) != std::string::npos || second + 1 == line.size())
        return errorResponse(400);
    const std::string method = line.substr(0, first);
    std::string path = line.substr(first + 1, second - first - 1);
    path = path.substr(0, path.find('?'));

    if (method == "GET" && path == "/") {
        return response(200, "text/html",
                        "<html><head><title>" + title + "</title></head><body><h1>" + title
                            + "</h1><p>Raid set and volume set functions.</p></body></html>\n");
    }
    if (method == "GET" && path == "/big")
        return response(200, "text/plain", bigBody());
    if (method == "POST" && path == "/echo") {
        const size_t bodyAt = request.find(kHeaderEnd);
        return response(200, "application/octet-stream", request.substr(bodyAt + 4));
    }
    return errorResponse(404);
}

Bytes replyFrame(const std::string& text)
{
    if (text.size() <= kShortFormLimit)
        return frame::encodeData(Bytes(text.begin(), text.end()));
    return frame::encodeLongForm(text);
}

} // namespace web
} // namespace zynsim
