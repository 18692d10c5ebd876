#pragma once
#include <QString>

class CZQECOObject {
public:
    int ViewECOItem(const QString& group, const QString& number);   // shows the change order
};
