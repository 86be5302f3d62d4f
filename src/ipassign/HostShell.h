#pragma once

#include <QString>
#include <stdexcept>
#include <string>

class CommandRunner;

// A host command, the capture folder or the capture file failed; the operation ends through its
// execution-error step.
class HostStepFailed : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The host side of the IP pane's operations: running command lines and keeping the capture file.
class HostShell
{
public:
    explicit HostShell(CommandRunner &runner) : m_runner(runner) {}

    // Runs the command through the host's interpreter and returns when it has ended.
    void ExecShellCmd(const QString &command);
    // Runs the command with its standard output appended to the capture file.
    void ExecCaptured(const QString &command, const QString &capturePath);
    // Readies the capture folder, removes a leftover capture file and gives the capture file's path.
    QString PrepCaptureFile();
    // The path PrepCaptureFile gives for a capture file of that name, for telling before anything is made
    // or run (on POSIX the folder's name ends in Xs that stand for the letters it gets when made).
    static QString PlannedCapturePath(const QString &captureFileName);
    // The capture file's name in the capture folder ("temp.txt" unless set): shells that run host
    // commands at the same time each need their own.
    void setCaptureFileName(const QString &name) { m_captureFileName = name; }
    // For an end of the program in the middle of an operation: ends the running command with all it
    // started, lets no other start, and removes the capture file.
    void AbandonHostWork();

    // Deletes a file, read-only or hidden too; false on any failure, which callers may ignore.
    static bool DelFile(const QString &path);
    // Deletes the file if it exists.
    static void DelFileIfExists(const QString &path);
    // command + " >> " + the capture path quoted for the host's interpreter; throws HostStepFailed when
    // the interpreter cannot be made to read the path as it stands.
    static QString Redirected(const QString &command, const QString &capturePath);

private:
    static QString capturePathIn(const std::string &folder, const QString &captureFileName);

    CommandRunner &m_runner;
    QString m_captureFileName = QStringLiteral("temp.txt");
    QString m_capturePath; // the last one given, "" before the first
};
