#include "LateLibrary.h"

#include <dlfcn.h>

namespace zq {

void* LateLibrary::symbol(const char* name)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_tried) {
        m_tried = true;
        m_handle = dlopen(m_soname, RTLD_NOW | RTLD_LOCAL);
        if (!m_handle)
            m_error = QStringLiteral("the library %1 cannot be loaded: %2")
                          .arg(QString::fromLatin1(m_soname), QString::fromLocal8Bit(dlerror()));
    }
    if (!m_handle)
        return nullptr;
    void* address = dlsym(m_handle, name);
    if (!address)
        m_error = QStringLiteral("the library %1 has no function %2")
                      .arg(QString::fromLatin1(m_soname), QString::fromLatin1(name));
    return address;
}

QString LateLibrary::error() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_error;
}

} // namespace zq
