#pragma once

// The IP pane's operations over stand-in host commands, as the IP pane tests set them up.
#include "FakeHostQuestions.h"
#include "FakeOperationView.h"
#include "FileBytes.h"
#include "HostChecks.h"
#include "IpPaneOperations.h"
#include "platform/CommandRunner.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using Box = FakeOperationView::Box;
using Outputs = QMap<QString, QByteArray>;

// Stands in for arp, ping, Ping, netsh, chcp: records its command line, prints the output set for the line
// or else for its name (a ping without either answers); the output "hang" makes it never end, "flood-lines"
// and "flood-bytes" make it print 150 MiB of short reply lines or of one endless line.
inline const char *const FakeScript = R"sh(#!/bin/sh
name=${0##*/}
dir='@DIR@'
printf '%s\n' "$name $*" >> "$dir/record.txt"
out="$dir/out/$(printf '%s' "$name $*" | tr ' ' '_')"
[ -f "$out" ] || out="$dir/out/$name"
case "$(head -c 12 "$out" 2>/dev/null)" in
hang) echo $$ > "$dir/hang.pid"; exec sleep 600;;
flood-lines) yes 'Reply from 10.0.0.5: bytes=32 time<1ms TTL=64' | head -c 157286400; exit;;
flood-bytes) head -c 157286400 /dev/zero | tr '\0' x; exit;;
esac
if [ -f "$out" ]; then cat "$out"; else case $name in [pP]ing)
    printf '\r\nPinging %s:\r\nReply from %s: bytes=32 time<1ms TTL=64\r\n\r\n' "$1" "$1";; esac; fi
)sh";

inline const QString Mac = "0A-00-3C-12-34-56";
inline const QString ShowInterface = "netsh interface ip show interface";
inline const QString ShowConfig = "netsh interface ip show config ";
inline const QString SetNeighbors = "netsh interface ip set neighbors ";
inline const QByteArray ArpListing = "\r\nInterface: 192.168.0.10 --- 0xb\r\n"
                                     "  192.168.0.20          0a-00-3c-12-34-56     static\r\n";
inline const QString ArpLog = "    Interface: 192.168.0.10 --- 0xb\r\n"
                              "      192.168.0.20          0a-00-3c-12-34-56     static\r\n";
inline const QStringList ToInterface11 = {"arp -d", ShowInterface, ShowConfig + "1", ShowConfig + "11"};
inline const Box SetFinished{"IP setting is finished.", "Set Command", BoxIcon::Information};
inline const Box PingFinished{"Ping is finished.", "Ping Command", BoxIcon::Information};
inline const Box SetExecError{"SLOT4 : Set Exec Error!", "Set Command", BoxIcon::Critical};
inline const Box IpError{"SLOT4 : IP Address Error!", "Data Set", BoxIcon::Critical};

inline const QByteArray PingTimeout = fileBytes(IPASSIGN_TEST_DATA "/ping-timeout.txt");

// The IP pane's operations with the stand-ins first on PATH and a capture folder of their own. Interface
// 11 is in 192.168.0.0/24, beside loopback 1 and a disconnected 14 that would match any network here.
struct Bed {
    Bed()
    {
        host.neighbours = {{{0xC0A8000AU, 24}}, {0xC0A80001U}}; // 192.168.0.10/24 behind 192.168.0.1
        QDir(dir.path()).mkpath("bin");
        QDir(dir.path()).mkpath("out");
        writeBytes(dir.filePath("record.txt"), "");
        const QByteArray script = QByteArray(FakeScript).replace("@DIR@", QFile::encodeName(dir.path()));
        for (const char *name : {"arp", "ping", "Ping", "netsh", "chcp"}) {
            writeBytes(dir.filePath("bin/") + name, script);
            QFile::setPermissions(dir.filePath("bin/") + name, QFile::ReadOwner | QFile::ExeOwner);
        }
        runner.setAdapterFolder(dir.filePath("bin").toStdString());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        const QString samples = IPASSIGN_TEST_DATA "/netsh-show-";
        answer({{ShowInterface, fileBytes(samples + "interface.txt")},
                {ShowConfig + "1", fileBytes(samples + "config-1.txt")},
                {ShowConfig + "11", fileBytes(samples + "config-11.txt")},
                {ShowConfig + "14", "IP Address: 10.1.2.1 27.0.0.5 192.168.0.1\r\n"},
                {"arp -a", ArpListing}});
    }
    void answer(const Outputs &outputs)
    {
        for (auto it = outputs.cbegin(); it != outputs.cend(); ++it)
            writeBytes(dir.filePath("out/") + QString(it.key()).replace(' ', '_'), it.value());
    }
    void setRow(int slot, const QString &macTail, const QString &ip, bool ticked = false)
    {
        view.setFieldText(Field::MAC, slot, "0A-00-3C");
        view.setFieldText(Field::MCAddr, slot, macTail);
        view.setFieldText(Field::IPAddr_IP, slot, ip);
        view.ticked[{Pane::IP, slot}] = ticked;
    }
    QString capture() const
    {
        return runtime.path() + "/" + QDir(runtime.path()).entryList({"QV512.*"}).value(0, "none") +
               "/temp.txt";
    }

    QTemporaryDir dir, runtime;
    FakeHostQuestions host;
    FakeOperationView view;
    HostChecks hostChecks{host, view, [] {}};
    CommandRunner runner;
    IpPaneOperations ops{view, hostChecks, runner};
};
