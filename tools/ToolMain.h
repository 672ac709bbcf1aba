#pragma once
// The build tools' main: a GUI application (the painters need one) that takes at least `count`
// arguments; with fewer it prints the usage and ends with 2. The work's answer ends it with 0
// (done) or 1 (failed).
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <utility>

namespace quorvel {

template <typename Work>
int runTool(int argc, char **argv, qsizetype count, const char *usage, Work work)
{
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments();
    if (args.size() < count + 1) {
        std::fprintf(stderr, "usage: %s\n", usage);
        return 2;
    }
    args.removeFirst();
    return work(std::as_const(args)) ? 0 : 1;
}

} // namespace quorvel
