#pragma once

// Makes a write fail for the superuser too, who passes every permission check: while a
// TFileSizeLimit lives, this process cannot grow any file past the given size (EFBIG).

#include <csignal>
#include <sys/resource.h>

namespace vantor::testing {

class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN); // the write returns EFBIG instead
        rlimit const limit { bytes, m_old.rlim_max };
        m_set = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~TFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    TFileSizeLimit(TFileSizeLimit const&) = delete;
    TFileSizeLimit& operator=(TFileSizeLimit const&) = delete;

    bool Set() const { return m_set; }

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
    bool m_set = false;
};

}
