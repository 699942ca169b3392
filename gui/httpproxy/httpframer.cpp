#include "httpproxy/httpframer.h"

#include <cstring>
#include <vector>

namespace {

const char* const kGet = "GET";
const char* const kPost = "POST";
const char* const kContentLength = "Content-Length:";
const char* const kBlankLine = "\r\n";
// Digits of the largest length that is compared exactly; a longer number is too large anyway.
constexpr size_t kMaxLengthDigits = 18;

bool isSeparator(char c)
{
    return c == ' ' || c == '\r' || c == '\n';
}

// The words between runs of blanks, CRs and LFs; a run at either end leaves an empty word there.
std::vector<std::string> words(const std::string& text)
{
    std::vector<std::string> out(1);
    for (size_t i = 0; i < text.size();) {
        if (!isSeparator(text[i])) {
            out.back().push_back(text[i++]);
            continue;
        }
        while (i < text.size() && isSeparator(text[i]))
            ++i;
        out.emplace_back();
    }
    return out;
}

// A length as decimal digits only; false for anything else (a sign included) or above `max`.
bool lengthOf(const std::string& word, size_t max, size_t* value)
{
    if (word.empty() || word.size() > kMaxLengthDigits)
        return false;
    size_t n = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + size_t(c - '0');
    }
    if (n > max)
        return false;
    *value = n;
    return true;
}

} // namespace

HttpRequestFramer::HttpRequestFramer(size_t maxRequest)
    : m_max(maxRequest)
{
}

HttpRequestFramer::Verdict HttpRequestFramer::examine(const char* data, size_t size)
{
    if (m_verdict != Incomplete)
        return m_verdict;
    if (m_state == ParseNone)
        m_state = ParseRequestLine;
    while (m_headerEnd == 0 && m_verdict == Incomplete && m_scanned < size) {
        const void* lf = std::memchr(data + m_scanned, '\n', size - m_scanned);
        if (lf == nullptr)
            break;
        const size_t end = size_t(static_cast<const char*>(lf) - data) + 1;
        const char* start = data + m_scanned;
        const void* nul = std::memchr(start, '\0', end - m_scanned);
        const size_t textLength = nul != nullptr ? size_t(static_cast<const char*>(nul) - start) : end - m_scanned;
        line(std::string(start, textLength), end);
        m_scanned = end;
    }
    if (m_verdict != Incomplete)
        return m_verdict;
    if (m_headerEnd == 0) {
        // Every byte so far belongs to the headers.
        if (size > m_max)
            refuse();
        return m_verdict;
    }
    const size_t total = m_headerEnd + (m_method == MethodPost ? m_contentLength : 0);
    if (total > m_max) {
        refuse();
    } else if (size >= total) {
        m_length = total;
        m_verdict = Complete;
    }
    return m_verdict;
}

void HttpRequestFramer::line(const std::string& text, size_t end)
{
    switch (m_state) {
    case ParseRequestLine: {
        const std::vector<std::string> w = words(text);
        if (w.size() < 2 || (w[0] != kGet && w[0] != kPost)) {
            refuse();
            return;
        }
        m_url = w[1];
        m_method = w[0] == kGet ? MethodGet : MethodPost;
        m_state = m_method == MethodGet ? ParseHeaders : ParsePostHeaders;
        return;
    }
    case ParsePostHeaders: {
        // The headers end without a length: the body cannot be found.
        if (text == kBlankLine) {
            refuse();
            return;
        }
        const std::vector<std::string> w = words(text);
        if (w[0] != kContentLength)
            return;
        if (w.size() < 2 || !lengthOf(w[1], m_max, &m_contentLength)) {
            refuse();
            return;
        }
        m_state = ParseHeaders;
        return;
    }
    case ParseHeaders:
        if (text == kBlankLine)
            m_headerEnd = end;
        return;
    default:
        return;
    }
}
