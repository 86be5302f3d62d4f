#pragma once

#include "platform/HostQuestions.h"

// A host that answers as told; by default an administrator's on a newer host with a "$" locale.
struct FakeHostQuestions : HostQuestions {
    bool administrator = true;
    std::optional<int> major = 10;
    std::string currency = "$";
    NeighbourHost neighbours; // none known

    bool isAdministrator() override { return administrator; }
    std::optional<int> majorVersion() override { return major; }
    std::string currencySymbol() override { return currency; }
    NeighbourHost neighbourHost() override { return neighbours; }
};
