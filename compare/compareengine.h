#pragma once

#include "compare/comparefailure.h"

#include <functional>
#include <memory>

class CCompareResultFile;
class CDBData;
class CResultStream;
class CZembraParam;

// What both comparison engines share: the two data sources, the options,
// the result file they fill and the way a run that cannot read a database or
// write its result ends.
class CCompareEngine
{
public:
    CCompareEngine(CDBData& left, CDBData& right, const CZembraParam& options, CCompareResultFile& results);
    virtual ~CCompareEngine();

    CCompareEngine(const CCompareEngine&) = delete;
    CCompareEngine& operator=(const CCompareEngine&) = delete;

    // Why the last run failed; no failure after a success or a cancellation.
    const CCompareFailure& GetFailure() const { return m_failure; }
    bool HasResult() const;

protected:
    // A new result file with the run's stream on it; false, with the
    // failure recorded, when none can be created in time.
    bool StartResultFile();
    // Records the failure, ends the stream and deletes the partial file.
    void FailRun(const QString& strReason);
    // One read of a side's database. A read that fails (read() returns
    // false) or raises a database error (a statement the driver cannot
    // allocate) ends the run: the failure, with the driver's text, is
    // recorded as by FailRun, and false is returned. A side that cannot be
    // read is never compared as if it were empty.
    bool ReadSide(CDBData& side, const std::function<bool()>& read);

    CDBData& m_left;
    CDBData& m_right;
    const CZembraParam& m_options;
    CCompareResultFile& m_results;
    std::unique_ptr<CResultStream> m_pRunStream;   // during a run only
    CCompareFailure m_failure;

private:
    void EndRun();
};
