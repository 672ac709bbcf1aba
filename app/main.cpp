#include "shell/StartUp.h"
#include "shell/frmPrincipal.h"

int main(int argc, char *argv[])
{
    return quorvel::runQuorvel(argc, argv, [](const quorvel::StartupOptions &options) {
        auto *window = new quorvel::frmPrincipal;
        window->state().bDebug = options.debug;
        window->MDIForm_Load(options.commandLine);
        return window;
    });
}
