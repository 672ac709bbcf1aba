#pragma once
// Loads the main window as a start of the program with this command line does (app/main.cpp),
// for tests that give the line as one text.
#include "shell/StartUp.h"
#include "shell/frmPrincipal.h"

namespace quorvel {

inline void loadAsStarted(frmPrincipal &window, const QString &commandLine = QString())
{
    const StartupOptions options = parseCommandLine(commandLine);
    window.MDIForm_Load(options.commandLine, options.stratPath);
}

} // namespace quorvel
