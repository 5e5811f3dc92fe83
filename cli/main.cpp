// kitvane-cli: the command-line front end over kitvane_core.

#include "app/charactertype.h"
#include "cli/clicommands.h"
#include "cli/cliinterrupt.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    // From the start, so a Ctrl-C before the run still cancels it cooperatively.
    CCliInterrupt::InstallHandler();
    QCoreApplication application(argc, argv);
    EnsureUtf8CharacterType();
    QStringList arrArgs = QCoreApplication::arguments();
    arrArgs.removeFirst();
    CCliCommands commands;
    return commands.Run(arrArgs);
}
