#include "BenchReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <sstream>

namespace {

QJsonValue number(double value) {
    if (value == kNotMeasured)
        return QJsonValue(QJsonValue::Null);
    return value;
}

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

QJsonObject keyJson(const KeyTiming& key) {
    return {{"text", text(key.text)},
            {"key", text(key.key)},
            {"ours_ms", number(key.oursMs)},
            {"sqlite_ms", number(key.sqliteMs)},
            {"plain_ms", number(key.plainMs)},
            {"qt_ms", number(key.qtMs)},
            {"ours_first_ms", number(key.oursFirstMs)},
            {"ours_dataset_ms", number(key.oursDataSetMs)},
            {"screen_ms", number(key.screenMs)},
            {"screen_data_ms", number(key.screenDataMs)},
            {"screen_share_ms", number(key.screenShareMs)},
            {"rows_found", key.rowsFound}};
}

/// "12.3", or "-" when not measured.
std::string cell(double value) {
    if (value == kNotMeasured)
        return "-";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, value < 10 ? "%.3f" : "%.1f", value);
    return buffer;
}

std::string ratio(double slower, double ours) {
    if (slower == kNotMeasured || ours == kNotMeasured || ours <= 0)
        return "-";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.0fx", slower / ours);
    return buffer;
}

} // namespace

std::string toJson(const BenchReport& report) {
    QJsonArray keys;
    for (const KeyTiming& key : report.keys)
        keys.append(keyJson(key));
    QJsonArray notes;
    for (const std::string& note : report.notes)
        notes.append(text(note));
    const QJsonObject run{
        {"rows", report.rows},
        {"load_ms", number(report.loadMs)},
        {"setup_ms", number(report.setupMs)},
        {"setup_again_ms", number(report.setupAgainMs)},
        {"setup_via", text(report.setupVia)},
        {"memory_mb", number(report.memoryMb)},
        {"store_mb", number(report.storeMb)},
        {"csv_mb", number(report.csvMb)},
        {"index_bytes_per_row", number(report.indexBytesPerRow)},
        {"keys", keys},
        {"title_click_ms", QJsonObject{{"first", number(report.titleClickFirstMs)},
                                       {"built", number(report.titleClickBuiltMs)}}},
        {"qt_setup_ms", number(report.qtSetupMs)},
        {"reopen_ms", number(report.reopenMs)},
        {"end_to_end_p95_ms", number(report.endToEndP95Ms)},
        {"end_to_end_median_ms", number(report.endToEndMedianMs)},
        {"screen_share_median_ms", number(report.screenShareMedianMs)},
        {"end_to_end_samples", report.endToEndSamples},
        {"cache_write_ms", number(report.cacheWriteMs)},
        {"cache_open_ms", number(report.cacheOpenMs)},
        {"cache_open_cold_ms", number(report.cacheOpenColdMs)},
        {"cache_mb", number(report.cacheMb)},
        {"cache_open_memory_mb", number(report.cacheOpenMemoryMb)},
        {"notes", notes},
    };
    // Compact: scripts/bench reads one object a line.
    return QJsonDocument(run).toJson(QJsonDocument::Compact).toStdString();
}

void printTable(const BenchReport& report, std::ostream& out) {
    char line[256];
    out << "rows " << report.rows << "   load " << cell(report.loadMs) << " ms   setup "
        << cell(report.setupMs) << " ms (" << report.setupVia << "; again " << cell(report.setupAgainMs)
        << " ms)   memory " << cell(report.memoryMb) << " MB (CSV " << cell(report.csvMb) << " MB, index "
        << cell(report.indexBytesPerRow) << " B/row)\n";
    std::snprintf(line, sizeof line, "%-10s %-5s %9s %9s %9s %9s %9s %9s %9s %9s %8s %8s %8s\n", "key",
                  "text", "ours", "ours 1st", "dataset", "screen", "share", "sqlite", "plain", "qt",
                  "sql/ours", "pln/ours", "rows");
    out << line;
    for (const KeyTiming& key : report.keys) {
        std::snprintf(
            line, sizeof line, "%-10s %-5s %9s %9s %9s %9s %9s %9s %9s %9s %8s %8s %8lld\n", key.key.c_str(),
            key.text.c_str(), cell(key.oursMs).c_str(), cell(key.oursFirstMs).c_str(),
            cell(key.oursDataSetMs).c_str(), cell(key.screenMs).c_str(), cell(key.screenShareMs).c_str(),
            cell(key.sqliteMs).c_str(), cell(key.plainMs).c_str(), cell(key.qtMs).c_str(),
            ratio(key.sqliteMs, key.oursMs).c_str(), ratio(key.plainMs, key.oursMs).c_str(), key.rowsFound);
        out << line;
    }
    out << "title click: first " << cell(report.titleClickFirstMs) << " ms, built "
        << cell(report.titleClickBuiltMs) << " ms   end to end: p95 " << cell(report.endToEndP95Ms)
        << " ms, median " << cell(report.endToEndMedianMs) << " ms over " << report.endToEndSamples
        << " touches; screen's own share " << cell(report.screenShareMedianMs) << " ms\n";
    out << "reopen (a call's return to the next screen shown, the data set put back between): "
        << cell(report.reopenMs) << " ms\n";
    out << "local copy: write " << cell(report.cacheWriteMs) << " ms, open " << cell(report.cacheOpenMs)
        << " ms (cold " << cell(report.cacheOpenColdMs) << " ms), " << cell(report.cacheMb) << " MB, "
        << cell(report.cacheOpenMemoryMb) << " MB resident when open\n";
    for (const std::string& note : report.notes)
        out << "note: " << note << "\n";
}
