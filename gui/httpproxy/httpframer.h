// Where a browser's request ends, found as its bytes arrive. The request is one request line,
// header lines, a blank line of exactly CR LF and, for a POST, the body its "Content-Length:"
// header counts. Only GET and POST are served; a POST names its length before the blank line,
// with the header name in exactly that case. Lines are looked at up to their first NUL byte.
// Plain C++: the fuzz target runs it without Qt.
#pragma once

#include <cstddef>
#include <string>

class HttpRequestFramer {
public:
    enum Verdict { Incomplete, Complete, Refused };
    enum Method { MethodGet = 0, MethodPost = 1 };
    // Where the parse stands: the kind of the next line.
    enum ParseState { ParseNone = 0, ParseHeaders = 1, ParseRequestLine = 2, ParsePostHeaders = 4 };

    // `maxRequest`: the longest request that can be passed on; a longer one is refused.
    explicit HttpRequestFramer(size_t maxRequest);

    // Looks at the bytes received so far: `data` holds every byte since the connection opened,
    // more of them at each call. Once complete or refused the verdict stays.
    Verdict examine(const char* data, size_t size);

    Verdict verdict() const { return m_verdict; }
    // Complete: the length of the request; bytes after it are not part of it.
    size_t length() const { return m_length; }
    int method() const { return m_method; }
    int parseState() const { return m_state; }
    // The second word of the request line, for the log lines.
    const std::string& url() const { return m_url; }
    size_t contentLength() const { return m_contentLength; }

private:
    // One line, up to and including its LF, up to its first NUL byte.
    void line(const std::string& text, size_t end);
    void refuse() { m_verdict = Refused; }

    const size_t m_max;
    Verdict m_verdict = Incomplete;
    int m_state = ParseNone;
    int m_method = MethodGet;
    std::string m_url;
    size_t m_contentLength = 0;
    size_t m_scanned = 0;     // where the first line not looked at yet begins
    size_t m_headerEnd = 0;   // after the blank line, once it has come
    size_t m_length = 0;
};
