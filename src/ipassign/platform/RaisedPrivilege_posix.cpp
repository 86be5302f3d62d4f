#include "RaisedPrivilege.h"

#include <sys/auxv.h>

std::string RaisedPrivilegeRefusal(const char *program)
{
    if (::getauxval(AT_SECURE) == 0)
        return {};
    return std::string(program) +
           ": refused to start with privilege of its own (file capabilities or setuid): the libraries it "
           "loads could then be chosen by whoever starts it.\n"
           "Remove that privilege (setcap -r, chmod u-s). The neighbour table is changed by the helper "
           "pelmora2-neigh: add yourself to the group pelmora2 (installed package), or run as root.\n";
}
