#pragma once
// The system image list: one icon per file type, looked up by file name.
#include "ListCtrl.h"
#include <QHash>

class CSysImageList {
public:
    static CSysImageList& instance();
    const CImageList* imageList() const { return &m_images; }
    // Index of the icon for the file's type (by extension); added on first use.
    int GetIconIndex(const QString& fileName);
private:
    CImageList m_images;
    QHash<QString, int> m_byType;
};
