#include "shell/StartUp.h"
#include "shell/frmPrincipal.h"

int main(int argc, char *argv[])
{
    // The debug switch is set by the start-up itself (common/DebugLog).
    return quorvel::runQuorvel(argc, argv, [](const quorvel::StartupOptions &options) {
        auto *window = new quorvel::frmPrincipal;
        window->MDIForm_Load(options.commandLine, options.stratPath);
        return window;
    });
}
