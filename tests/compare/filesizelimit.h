#pragma once

#include <csignal>
#include <sys/resource.h>

namespace kvtest {

// Limits the size of files this process writes: beyond the limit a write fails
// with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t nBytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = nBytes;
        m_bSet = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool IsSet() const { return m_bSet; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_bSet = false;
};

}  // namespace kvtest
