#include "FileName.h"
#include <QFileInfo>

namespace {
// The name after the last separator; '\' separates as well as '/', since names come from Windows.
QString lastSegment(const QString& path)
{
    const int cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1);
}
} // namespace

bool CFileName::Exist() const
{
    if (m_path.isEmpty())
        return false;
    const QFileInfo info(m_path);
    return info.exists() && info.isFile();
}

QString CFileName::GetFileName() const
{
    return lastSegment(m_path);
}

QString CFileName::GetFileTitle() const
{
    const QString name = GetFileName();
    const int dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString CFileName::GetExtension() const
{
    const QString name = GetFileName();
    const int dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}
