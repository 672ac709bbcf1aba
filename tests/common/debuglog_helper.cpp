// A start with the debug log whose application object goes while another thread still writes,
// as libav's lines come from the encoder's thread: markers, a line from that thread, and a
// line after the exit began.
#include "common/DebugLog.h"

#include <QCoreApplication>

#include <thread>

using namespace quorvel;

int main(int argc, char **argv)
{
    auto *app = new QCoreApplication(argc, argv);
    if (!IniciaDebug())
        return 2;
    debugMarker(1); // the log is off: nothing
    setDebugEnabled(true);
    debugMarker(2);
    std::thread([] { GravaDebug(QStringLiteral("from another thread")); }).join();
    delete app;
    std::thread([] { debugMarker(3); }).join();
    return 0;
}
