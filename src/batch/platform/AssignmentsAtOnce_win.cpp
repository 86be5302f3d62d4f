#include "AssignmentsAtOnce.h"

int AssignmentsAtOnce()
{
    return 1;
}
