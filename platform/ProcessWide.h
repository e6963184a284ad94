#pragma once
// One process-wide service object of type T, installed by the program (or a
// test) and not owned. Asking for it before one is installed is a program
// error.
#include "platform/Fatal.h"

namespace parlo {

template <class T>
class ProcessWide {
public:
    static T& Get(const char* missingText) {
        if (current_ == nullptr) fatal(missingText);
        return *current_;
    }
    static bool Installed() { return current_ != nullptr; }
    // Installs p and returns the previous one.
    static T* Set(T* p) {
        T* old = current_;
        current_ = p;
        return old;
    }

private:
    static inline T* current_ = nullptr;
};

}  // namespace parlo
