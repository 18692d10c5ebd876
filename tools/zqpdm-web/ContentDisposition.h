#pragma once
// The Content-Disposition of a stored file sent for download (RFC 6266): a plain ASCII name for
// old clients and the exact name as UTF-8 in filename* (RFC 5987), so that a Chinese file name
// arrives whole and no name can break out of the header.
#include <QString>
#include <string>

namespace zq::web {

std::string AttachmentDisposition(const QString& fileName);

} // namespace zq::web
