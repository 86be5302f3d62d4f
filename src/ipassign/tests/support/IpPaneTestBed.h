#pragma once

#include "FakeAdapters.h"
#include "FakeOperationView.h"
#include "HostChecks.h"
#include "IpPaneOperations.h"
#include "platform/CommandRunner.h"
#include "platform/HostQuestions.h"

#include <QTemporaryDir>

class FakeHostQuestions : public HostQuestions
{
public:
    bool isAdministrator() override { return true; }
    std::optional<int> majorVersion() override { return major; }
    std::string currencySymbol() override { return currency; }

    std::optional<int> major = 10;
    std::string currency = "$";
};

// The IP pane's operations wired to a recording view, stand-in host commands and a capture folder of
// their own (through XDG_RUNTIME_DIR).
class IpPaneTestBed
{
public:
    IpPaneTestBed();
    ~IpPaneTestBed();

    // The row's MAC tail, IP address and IP pane tick; the MAC prefix is the fixed 0A-00-3C.
    void setRow(int slot, const QString &macTail, const QString &ip, bool ticked = false);
    QString capturePath() const { return m_captureBase.path() + "/QV512/temp.txt"; }
    QByteArray captureContent() const;
    void writeLeftoverCapture(const QByteArray &content);
    // Points the capture folder somewhere it cannot be made.
    void breakCaptureFolder();

    FakeAdapters fakes;
    FakeOperationView view;
    FakeHostQuestions host;
    HostChecks hostChecks{host, view, [] {}};
    CommandRunner runner;
    IpPaneOperations ops{view, hostChecks, runner};

private:
    QTemporaryDir m_captureBase;
};

// What a capture's lines give in the log: every non-empty line after four blanks, CR LF ends.
QString Indented(const QByteArray &capture);
