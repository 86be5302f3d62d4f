#pragma once

#include "platform/RightsHowTo.h"

#include <QString>
#include <functional>
#include <optional>

class HostQuestions;
class MessageBoxes;

// The host checks at start-up and the two messages that have a Japanese and an English wording.
class HostChecks
{
public:
    // endProgram ends the process at once, without the window's close handling; tests replace it.
    // Without one, the process exits at once with a non-zero status. howTo: what the caution tells the
    // user to do, this host's way unless told.
    HostChecks(HostQuestions &host, MessageBoxes &boxes, std::function<void()> endProgram = {},
               RightsHowTo howTo = HostRightsHowTo());

    // Major version 6 or later. When the host refuses the version request, shows
    // "Cannot get Windows Version" and ends the program (false if endProgram returns).
    bool IsWinVer6OrLater();
    // The user locale's currency symbol as the ANSI code page gives it ("" when unknown).
    QString GetLocaleCurrency();
    // Returns true when start-up may go on; false after the caution box or the version box, once
    // endProgram has been called (the program must end, saving nothing).
    bool CheckAdminRights();
    // The "network environment not found" box, and its text.
    void ShowNoNetworkMsg();
    QString noNetworkText();
    // Whether a unit's neighbour entry for the dotted address would take an address the host needs:
    // its own, a gateway, a subnet's network or broadcast address, or a special address.
    bool IsRefusedUnitAddress(const QString &hostIp);

private:
    bool isJapaneseHost();
    // Nothing after the version box has been shown and endProgram called.
    std::optional<bool> versionIs6OrLaterOrEnd();

    HostQuestions &m_host;
    MessageBoxes &m_boxes;
    std::function<void()> m_endProgram;
    RightsHowTo m_howTo;
};
