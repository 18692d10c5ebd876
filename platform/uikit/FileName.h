#pragma once
// A file name: existence test and title (the name without folder and extension).
#include <QString>

class CFileName {
public:
    explicit CFileName(const QString& path) : m_path(path) {}
    bool Exist() const;
    QString GetFileTitle() const;    // "a/b/report.dwg" → "report"
    QString GetExtension() const;    // "report.dwg" → "dwg"
    QString GetFileName() const;     // "a/b/report.dwg" → "report.dwg"
    QString path() const { return m_path; }
private:
    QString m_path;
};
