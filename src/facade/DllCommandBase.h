#pragma once
// The host's command object. The module calls only ExecuteCommand, the second operation in
// slot order; the first one is the host's own and the module never calls it.
#include <QString>

class CDllCommandBase {
public:
    virtual int QueryCommand(const QString& command) = 0;
    // "Locate" with the selected row's locate text; the result is not used.
    virtual int ExecuteCommand(const QString& command, const QString& argument) = 0;

protected:
    // The host owns the object; the module never deletes it.
    ~CDllCommandBase() = default;
};
