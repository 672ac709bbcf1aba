// Starts the way the program does, then exports a picture of a window to the file named by
// QUORVEL_TEST_TARGET (or saves the strat QUORVEL_TEST_STRAT over itself) and prints the message
// the user would be shown. Exits 1 (the start-up had no main window) when it lives to the end.

#include "TestHost.h"
#include "board/ProgramState.h"
#include "export/JpegExport.h"
#include "ScriptedPrompts.h"
#include "shell/StartUp.h"

#include <QWidget>

#include <cstdio>

int main(int argc, char **argv)
{
    return quorvel::runQuorvel(argc, argv, [](const quorvel::StartupOptions &) -> QWidget * {
        quorvel::ScriptedPrompts prompts;
        if (const QString strat = qEnvironmentVariable("QUORVEL_TEST_STRAT"); !strat.isEmpty()) {
            quorvel::ProgramState state;
            quorvel::TestHost host;
            quorvel::frmMapa board(state, host);
            state.fillPalette();
            board.Form_Load();
            board.setImI(1);
            board.AbreTatica(strat);
            board.SalvaTatica(false);
        } else {
            prompts.addFile(qEnvironmentVariable("QUORVEL_TEST_TARGET"));
            QWidget window;
            window.resize(640, 480);
            window.show();
            quorvel::Exporta(&window, {}, nullptr);
        }
        for (const auto &message : prompts.messages)
            std::printf("%s\n", qPrintable(message.text));
        return nullptr;
    });
}
