#pragma once

// Runs a zor-cli command in-process and keeps what it printed.

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace zor::test {

struct CommandRun {
    int status = 0;
    QString out;
    QString err;
};

template <typename Command>
CommandRun Call(Command command, const QStringList& args)
{
    CommandRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = command(args, out, err);
    out.flush();
    err.flush();
    return run;
}

} // namespace zor::test
