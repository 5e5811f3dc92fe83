#pragma once

#include "app/shellopener.h"

// The command line leaves the result files where they are: opening them is
// the user's affair.
class CQuietOpener : public CShellOpener
{
public:
    bool StartCommandLine(const QString& /*strCommandLine*/) override { return false; }
};
