#pragma once
// The host application's report: one JSON object on stdout with what the call returned and what
// it left in the data set, what the user was told, and the screen as it closed.

#include <QJsonObject>

class CallLog;
class ScriptRunner;
namespace qmr {
class TDataSet;
} // namespace qmr

/// Builds the report of one call.
class JsonReport {
public:
    /// The report as an object, for the caller to add the members of its own run to. "timings" is
    /// present only when `withTimings`.
    static QJsonObject object(bool result, const qmr::TDataSet& dataSet, const CallLog& log,
                              const ScriptRunner& runner, bool withTimings);
};
