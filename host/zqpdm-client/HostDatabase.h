#pragma once
// The host's database connection: created and connected at start-up and made the process's
// current CZQDBConnect, so the search module shares it. Released (and unset) on destruction.
#include <QString>
#include <memory>

namespace zq { class CZQDBConnect; class Connection; }

namespace zq::host {

class HostDatabase {
public:
    HostDatabase();
    ~HostDatabase();
    HostDatabase(const HostDatabase&) = delete;
    HostDatabase& operator=(const HostDatabase&) = delete;

    // Init and ConnectPDM; on success the object becomes the current connection. False with
    // the reason in error() otherwise (the current connection is then left unset).
    bool open();
    bool isOpen() const { return m_open; }
    QString error() const { return m_error; }
    // The connection URL in use (or the one that failed), password hidden, for the status bar.
    QString url() const;
    zq::CZQDBConnect* connect() const { return m_connect.get(); }
    zq::Connection* connection() const;

private:
    std::unique_ptr<zq::CZQDBConnect> m_connect;
    QString m_error;
    bool m_open = false;
};

} // namespace zq::host
