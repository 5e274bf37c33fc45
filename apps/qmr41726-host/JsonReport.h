#pragma once
// The host application's report: one JSON object on stdout with what the call returned and what
// it left in the data set, what the user was told, and the screen as it closed.

#include <QByteArray>
#include <QJsonObject>

class CallLog;
class ScriptRunner;
namespace qmr {
class TDataSet;
} // namespace qmr

/// Builds the report of one call.
class JsonReport {
public:
    /// The whole report as indented UTF-8 JSON. "timings" is present only when `withTimings`.
    static QByteArray build(bool result, const qmr::TDataSet& dataSet, const CallLog& log,
                            const ScriptRunner& runner, bool withTimings);
    /// The same report as an object, for a caller that adds members of its own.
    static QJsonObject object(bool result, const qmr::TDataSet& dataSet, const CallLog& log,
                              const ScriptRunner& runner, bool withTimings);
};
