#pragma once

#include <string>

#include "doctor/Report.h"

namespace velmorant::doctor {

// Every writer's output is valid UTF-8: names that are not UTF-8 are taken as Windows-1252.

// One line per finding, then the summary line.
std::string ReportText(const Report& report);
std::string SummaryLine(const Report& report);
// One document: summary, findings, and the tree bank -> program -> file.
std::string ReportJson(const Report& report);
// A CSV field as RFC 4180 writes it: quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);
// RFC 4180, one row per finding.
std::string ReportCsv(const Report& report);
// A page that works offline: the summary, the findings, and the tree.
std::string ReportHtml(const Report& report);

}  // namespace velmorant::doctor
