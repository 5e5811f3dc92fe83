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
    CQalmetApp app;
    RunKitvane(app);
    return 0;
}
