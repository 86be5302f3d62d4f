#pragma once

// How a user starts the program with administrator rights on this host; the caution names it.
enum class RightsHowTo {
    RunAsAdministrator, // the context menu's "Run as administrator"
    SudoOrCapability,   // sudo, or CAP_NET_ADMIN given to the program with setcap
};

RightsHowTo HostRightsHowTo();
