#include "RaisedPrivilege.h"

// Windows starts no program with privilege the caller does not have.
std::string RaisedPrivilegeRefusal(const char *)
{
    return {};
}
