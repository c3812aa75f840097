// An object of static storage that is made before main without asking for
// memory and is never destroyed: no destructor is registered to run at
// exit, so that an end of the run (a signal handler among them) may use it
// while the process ends, and tables of millions of entries are not torn
// down for nothing. T's constructor with the given arguments must not
// allocate, so that nothing before main can fail for want of memory
// (tests/check_static_init.sh checks the programs for that).
#pragma once

#include <memory>
#include <new>
#include <utility>

template <class T>
class NEVER_DESTROYED {
public:
    template <class... ARGS>
    explicit NEVER_DESTROYED(ARGS&&... args) {
        ::new (static_cast<void*>(bytes_)) T(std::forward<ARGS>(args)...);
    }
    NEVER_DESTROYED(const NEVER_DESTROYED&) = delete;
    NEVER_DESTROYED& operator=(const NEVER_DESTROYED&) = delete;

    T& get() { return *std::launder(reinterpret_cast<T*>(bytes_)); }

private:
    alignas(T) unsigned char bytes_[sizeof(T)];
};
