// RAII owner of a kernel handle.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace tervalon::update::win32 {

struct HandleCloser {
    void operator()(HANDLE handle) const
    {
        if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

inline UniqueHandle OwnHandle(HANDLE handle)
{
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace tervalon::update::win32
