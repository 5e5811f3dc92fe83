#include "app/startup.h"

#include "app/dlgmain.h"
#include "app/qalmetapp.h"
#include "res/resourceimages.h"

#include <QApplication>

int RunKitvane(CQalmetApp& app)
{
    app.InitInstance();
    CreateSharedImageList();
    QApplication::setWindowIcon(LoadAppIcon());
    int nResult = 0;
    {
        CDlgMain dlg;
        nResult = dlg.DoModal();
    }
    app.ExitInstance();
    return nResult;
}
