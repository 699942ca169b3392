// The controller's web server as the HTTP pass-through reaches it: the request comes in pieces
// (command 0x16, one piece per frame, each at most 1024 bytes) and is put together per sender;
// once it is complete (the blank line after the headers, then Content-Length body bytes) the
// controller answers with one frame holding the whole HTTP/1.1 response.
//
// Pages: GET / a small HTML page; GET /big a text page whose body is kBigPageBody bytes, byte i
// being 'a' + i % 26 (too long for the short frame form); POST /echo the request's body back
// (application/octet-stream). Any other method or path: 404. A request line that is not
// "METHOD TARGET VERSION" answers 400, a Content-Length that is not a decimal number 400, a
// request past kMaxRequest bytes (also by its Content-Length) 413, headers past kMaxHeaders
// without their blank line 431; the sender's partial request is dropped then. The query part of
// a target is ignored.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zynsim {
namespace web {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr size_t kMaxPiece = 1024;
constexpr size_t kMaxHeaders = 16 * 1024;
constexpr size_t kMaxRequest = 256 * 1024;
constexpr size_t kMaxSenders = 64;                     // partial requests kept at once
constexpr auto kPartialTimeout = std::chrono::seconds(10);
constexpr size_t kBigPageBody = 70000;
constexpr size_t kShortFormLimit = 65534;              // 0xFFFF would read as the long form

// Partial requests, one per sender.
class Requests {
public:
    struct Result {
        enum State { Incomplete, Complete, Refused } state = Incomplete;
        std::string request;   // Complete: the request (headers and body, nothing after)
        int status = 0;        // Refused: the HTTP status to answer with
    };
    Result add(const std::string& sender, const uint8_t* piece, size_t length, Clock::time_point now);
    void clear() { m_pending.clear(); }
    size_t pending() const { return m_pending.size(); }

private:
    struct Partial {
        std::string bytes;
        Clock::time_point last;
    };
    std::map<std::string, Partial> m_pending;
};

// The full response text to a complete request; `title` names the controller on the pages.
std::string respond(const std::string& request, const std::string& title);
// A response for an HTTP status without a page of its own (400, 404, 413, 431).
std::string errorResponse(int status);
// The reply frame: the short form up to kShortFormLimit bytes of text, the long form above.
Bytes replyFrame(const std::string& response);

} // namespace web
} // namespace zynsim
