#include "JsonReport.h"

#include "CallLog.h"
#include "ScriptRunner.h"

#include <qmr41726/data/dataset/TClientDataSet.h>

#include <QJsonDocument>

using namespace qmr;

namespace {

QJsonValue utf8(const AnsiString& text) {
    return QString::fromStdString(ansiToUtf8(text));
}

/// A field's current value with its JSON type: numbers for numeric fields, text otherwise.
QJsonValue fieldValue(const TField& field) {
    if (field.isNull())
        return QJsonValue::Null;
    const AnsiString text = field.asString();
    bool ok = false;
    if (field.dataType() == TFieldType::ftInteger) {
        const qlonglong number = QString::fromStdString(text).toLongLong(&ok);
        if (ok)
            return number;
    } else if (field.dataType() == TFieldType::ftFloat) {
        const double number = QString::fromStdString(text).toDouble(&ok);
        if (ok)
            return number;
    }
    return utf8(text);
}

/// The current row's visible fields by name; null on an empty or closed data set.
QJsonValue currentRow(const TDataSet& dataSet) {
    if (!dataSet.active() || dataSet.isEmpty())
        return QJsonValue::Null;
    QJsonObject row;
    for (int i = 0; i < dataSet.fieldCount(); ++i) {
        const TField* field = dataSet.field(i);
        if (field->visible())
            row.insert(QString::fromStdString(ansiToUtf8(field->fieldName())), fieldValue(*field));
    }
    return row;
}

QJsonValue indexName(const TDataSet& dataSet) {
    const auto* client = dynamic_cast<const TClientDataSet*>(&dataSet);
    return client ? utf8(client->indexName()) : QJsonValue(QJsonValue::Null);
}

} // namespace

QJsonObject JsonReport::object(bool result, const TDataSet& dataSet, const CallLog& log,
                               const ScriptRunner& runner, bool withTimings) {
    QJsonObject report{
        {"result", result},
        {"filter", utf8(dataSet.filter())},
        {"filtered", dataSet.filtered()},
        {"index", indexName(dataSet)},
        {"recordCount", dataSet.recordCount()},
        {"recNo", dataSet.recNo()},
        {"row", currentRow(dataSet)},
        {"messages", QJsonArray::fromStringList(log.messages())},
        {"errors", QJsonArray::fromStringList(log.errors())},
        {"screen", runner.screen()},
        {"probes", runner.probes()},
    };
    // Present only when the bound was reached, so that a report of an ordinary script keeps its shape.
    if (log.dropped() > 0)
        report.insert("messagesDropped", log.dropped());
    if (runner.probesDropped() > 0)
        report.insert("probesDropped", runner.probesDropped());
    if (withTimings) {
        report.insert("timings", runner.timings());
        if (runner.timingsDropped() > 0)
            report.insert("timingsDropped", runner.timingsDropped());
    }
    return report;
}
