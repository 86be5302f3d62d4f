#pragma once

#include "NeighbourRefusal.h"

#include <memory>
#include <optional>
#include <string>

// What the start-up checks ask the host. Kept free of Qt so that the Windows answers need nothing but
// the Win32 API.
class HostQuestions
{
public:
    virtual ~HostQuestions() = default;

    // Whether the process runs with administrator rights.
    virtual bool isAdministrator() = 0;
    // The operating system's major version; nothing when the host refuses to tell.
    virtual std::optional<int> majorVersion() = 0;
    // The currency symbol of the user's default locale as the ANSI code page gives it, in UTF-8
    // ("" when the host cannot tell). On a Japanese host the yen sign reads as a single backslash.
    virtual std::string currencySymbol() = 0;
    // This host's subnets and gateways, which must never get a unit's neighbour entry; nothing known
    // unless the host tells.
    virtual NeighbourHost neighbourHost() { return {}; }
};

// The answers of the host the program runs on.
std::unique_ptr<HostQuestions> CreateHostQuestions();
