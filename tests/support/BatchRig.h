#pragma once

#include "FileBytes.h"
#include "SettingsStore.h"
#include "SimUnits.h"

#include <QProcess>
#include <QTemporaryDir>

// pelmora2-batch as a child process (through `wrapper`, e.g. "ip netns exec NS", when given) with a
// settings folder of its own: by default a receive limit of 300 ms and two ESC attempts, so that a silent
// unit or a missing echo fails quickly. Report and log go into the folder unless the arguments name them.
struct BatchRig {
    explicit BatchRig(int receiveLimitMs = 300, const QStringList &wrapper = {}) : wrapper(wrapper)
    {
        SettingsStore(dir.path())
            .write("REMOTE",
                   {{"TIMEOUT", "RESET", QString::number(receiveLimitMs)}, {"RESET_RETRY", "NORMAL", "2"}});
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir.path());
        env.insert("XDG_RUNTIME_DIR", dir.path());
        program.setProcessEnvironment(env);
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString read(const QString &name) const { return QString::fromUtf8(fileBytes(path(name))); }
    QString writePlan(const QString &text) const
    {
        return writeBytes(path("plan.csv"), text.toUtf8()) ? path("plan.csv") : QString();
    }
    void start(const QStringList &arguments)
    {
        QStringList command =
            wrapper + QStringList{qEnvironmentVariable("PELMORA2_BIN_DIR") + "/pelmora2-batch"} + arguments;
        for (const auto &[option, name] :
             {std::pair{"--report", "report.csv"}, std::pair{"--log", "log.txt"}}) {
            if (!arguments.contains(QString(option)))
                command << option << path(name);
        }
        program.start(command.takeFirst(), command);
    }
    // The exit status; -1 when it runs past timeoutMs, -2 when it crashed.
    int finish(int timeoutMs = 60000)
    {
        if (!program.waitForFinished(timeoutMs))
            return -1;
        out = program.readAllStandardOutput();
        err = program.readAllStandardError();
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -2;
    }
    int run(const QStringList &arguments) { return start(arguments), finish(); }
    // The report's rows as "unit step result text"; a step that ran has its start time, a skipped one not.
    QStringList report(const QString &name = "report.csv") const
    {
        QStringList lines = read(name).split("\r\n", Qt::SkipEmptyParts), rows;
        if (lines.isEmpty() ||
            lines.takeFirst().remove(QChar(0xFEFF)) != "unit,ip,port,step,result,text,started,duration_ms")
            return {"<no report or a bad header>"};
        for (const QString &line : lines) {
            const QStringList cells = line.split(',');
            if (cells.size() != 8 || cells[6].isEmpty() != (cells[4] == "skipped"))
                return {"<bad timing> " + line};
            rows << cells[0] + ' ' + cells.mid(3, 3).join(' ');
        }
        return rows;
    }

    QTemporaryDir dir;
    QStringList wrapper;
    QProcess program;
    QByteArray out, err;
};

// The event lines qv512-sim prints, up to the first that starts with last or until ms pass in silence.
inline QStringList simEventLines(SimUnits &sim, int ms, const QString &last = "\n")
{
    QStringList events;
    for (QString line; !(line = sim.waitForEvent({}, ms)).isEmpty() && !line.startsWith(last);)
        events << line;
    return events;
}
