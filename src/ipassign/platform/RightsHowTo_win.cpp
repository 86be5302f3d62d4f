#include "RightsHowTo.h"

RightsHowTo HostRightsHowTo()
{
    return RightsHowTo::RunAsAdministrator;
}
