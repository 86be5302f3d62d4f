#include "AssignmentsAtOnce.h"

#include <climits>

int AssignmentsAtOnce()
{
    return INT_MAX;
}
