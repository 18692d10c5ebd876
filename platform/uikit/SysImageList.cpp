#include "SysImageList.h"

CSysImageList& CSysImageList::instance() { static CSysImageList list; return list; }
int CSysImageList::GetIconIndex(const QString&) { return -1; }
