#include "app/charactertype.h"
#include "app/qalmetapp.h"
#include "app/startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    EnsureUtf8CharacterType();
    QApplication::setApplicationName(QStringLiteral("TvrKitvane"));
    QApplication::setOrganizationName(QStringLiteral("Talvorin"));
    // Lets the desktop match the windows with the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.talvorin.kitvane"));
    CQalmetApp app;
    RunKitvane(app);
    return 0;
}
