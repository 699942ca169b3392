// A file size limit that stands in for a full disk: a write past it stops short (SIGXFSZ is
// ignored meanwhile, so the write fails instead of ending the process). Lifted when the object
// goes, or earlier by lift().
#pragma once

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        if (::getrlimit(RLIMIT_FSIZE, &m_old) != 0)
            return;
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = m_old;
        limited.rlim_cur = bytes;
        m_set = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
        if (!m_set)
            std::signal(SIGXFSZ, m_oldHandler);
    }
    ~FileSizeLimit() { lift(); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool isSet() const { return m_set; }
    void lift()
    {
        if (!m_set)
            return;
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
        m_set = false;
    }

private:
    struct rlimit m_old {};
    void (*m_oldHandler)(int) = SIG_DFL;
    bool m_set = false;
};
