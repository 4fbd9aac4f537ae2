// A shared library opened by its file, as a test or a benchmark reaches a routine library
// directly, without the programs' binding.
#pragma once

#include <dlfcn.h>

#include <string>

class OpenedLibrary {
public:
    explicit OpenedLibrary(const std::string& file) : file_(file), handle_(dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL))
    {
        if (!handle_)
            failure_ = "cannot open " + file_ + ": " + dlerror();
    }
    ~OpenedLibrary()
    {
        if (handle_)
            dlclose(handle_);
    }
    OpenedLibrary(const OpenedLibrary&) = delete;
    OpenedLibrary& operator=(const OpenedLibrary&) = delete;

    // The exported function `name` as a `Function`; nullptr, with the reason in failure(),
    // when the library is not open or exports no such name.
    template <typename Function>
    Function* function(const char* name)
    {
        if (!handle_)
            return nullptr;
        void* found = dlsym(handle_, name);
        if (!found)
            failure_ = "no " + std::string(name) + " in " + file_;
        return reinterpret_cast<Function*>(found);
    }

    // Why the library or the last function asked for could not be had.
    const std::string& failure() const { return failure_; }

private:
    std::string file_;
    void* handle_;
    std::string failure_;
};
