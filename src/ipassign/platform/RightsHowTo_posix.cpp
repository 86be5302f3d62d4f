#include "RightsHowTo.h"

RightsHowTo HostRightsHowTo()
{
    return RightsHowTo::SudoOrCapability;
}
