#pragma once

// How a user starts the program with administrator rights on this host; the caution names it.
enum class RightsHowTo {
    RunAsAdministrator, // the context menu's "Run as administrator"
    SudoOrCapability,   // the group pelmora2 (whose members may run the helper), or root
};

RightsHowTo HostRightsHowTo();
