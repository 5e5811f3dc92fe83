#pragma once

#include <QStringList>

// The driver manager's data sources of one kind (user or system), names and
// driver descriptions in its own order; the data-source dialog and the
// command line list the same.
void ReadDataSources(bool bSystem, QStringList& arrNames, QStringList& arrDrivers);
