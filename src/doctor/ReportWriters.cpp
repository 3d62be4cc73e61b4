#include "doctor/ReportWriters.h"

#include <map>
#include <nlohmann/json.hpp>

#include "catalogue/CataloguePages.h"
#include "core/Encoding.h"
#include "core/Text.h"

namespace velmorant::doctor {
namespace {

// File names are UTF-8 on disk unless another tool wrote the instrument's bytes as they are.
std::string Utf8(std::string_view text) {
    return core::PathToUtf8(text);
}

nlohmann::ordered_json Strings(const std::vector<std::string>& values) {
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (const std::string& value : values) {
        array.push_back(Utf8(value));
    }
    return array;
}

const char* StateName(FileState state) {
    switch (state) {
    case FileState::kFound: return "found";
    case FileState::kMissing: return "missing";
    case FileState::kCaseOnly: return "case-only";
    case FileState::kRom: return "rom";
    }
    return "found";
}

nlohmann::ordered_json FileJson(const FileNode& file) {
    nlohmann::ordered_json json{{"path", Utf8(file.path)},
                        {"kind", file.state == FileState::kRom ? "rom" : file.multisample ? "multisample" : "sample"},
                        {"state", StateName(file.state)},
                        {"size", file.size}};
    if (file.multisample) {
        json["samples"] = nlohmann::ordered_json::array();
        for (const FileNode& sample : file.samples) {
            json["samples"].push_back(FileJson(sample));
        }
    }
    return json;
}

std::string Joined(const std::vector<std::string>& values, const char* separator) {
    std::string text;
    for (const std::string& value : values) {
        text += (text.empty() ? "" : separator) + Utf8(value);
    }
    return text;
}


std::string Subject(const Finding& finding) {
    if (!finding.program.empty()) {
        return Utf8(finding.bank + "/" + finding.program);
    }
    return finding.paths.empty() ? Utf8(finding.bank) : Utf8(finding.paths.front());
}

// The findings about each program, to mark it in the tree.
std::map<std::pair<std::string, std::string>, std::string> ProgramMarks(const Report& report) {
    std::map<std::pair<std::string, std::string>, std::string> marks;
    for (const Finding& finding : report.findings) {
        if (!finding.program.empty()) {
            std::string& text = marks[{finding.bank, finding.program}];
            text += std::string(text.empty() ? "" : "; ") + finding.detail;
        }
    }
    return marks;
}

void HtmlFile(std::string& page, const FileNode& file) {
    const bool problem = file.state == FileState::kMissing || file.state == FileState::kCaseOnly;
    page += "<li" + std::string(problem ? " class='problem'" : "") + ">" +
            catalogue::EscapeHtml(Utf8(file.path)) + " <small>(" + StateName(file.state) + ")</small>";
    if (!file.samples.empty()) {
        page += "<ul>";
        for (const FileNode& sample : file.samples) {
            HtmlFile(page, sample);
        }
        page += "</ul>";
    }
    page += "</li>\n";
}

}  // namespace

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

const char* FindingKindName(FindingKind kind) {
    switch (kind) {
    case FindingKind::kRefusedProgram: return "refused-program";
    case FindingKind::kMissingFile: return "missing-file";
    case FindingKind::kCaseOnly: return "case-only-reference";
    case FindingKind::kOrphan: return "orphan";
    case FindingKind::kSameAudio: return "same-audio";
    case FindingKind::kNameClash: return "different-audio-same-name";
    case FindingKind::kNameNotShown: return "name-not-shown";
    case FindingKind::kBankList: return "bank-list";
    case FindingKind::kBankFolder: return "bank-folder";
    case FindingKind::kMalformedFile: return "malformed-file";
    case FindingKind::kNotListed: return "program-not-listed";
    case FindingKind::kManifestUnreadable: return "manifest-unreadable";
    case FindingKind::kManifestMissing: return "manifest-missing";
    case FindingKind::kManifestChanged: return "manifest-changed";
    case FindingKind::kManifestExtra: return "manifest-extra";
    }
    return "unknown";
}

const char* SeverityName(Severity severity) {
    return severity == Severity::kFailure ? "failure" : "warning";
}

std::string SummaryLine(const Report& report) {
    const Totals& t = report.totals;
    if (!report.manifest.empty()) {
        std::int64_t counts[3] = {};
        for (const Finding& finding : report.findings) {
            const auto k = static_cast<int>(finding.kind) - static_cast<int>(FindingKind::kManifestMissing);
            if (k >= 0 && k < 3) {
                counts[k] += 1;
            }
        }
        return core::Format("Verified %lld files against %s: %lld missing, %lld changed, %lld extra; %lld failures, "
                            "%lld warnings",
                            static_cast<long long>(t.manifestFiles), Utf8(report.manifest).c_str(),
                            static_cast<long long>(counts[0]), static_cast<long long>(counts[1]),
                            static_cast<long long>(counts[2]), static_cast<long long>(t.failures),
                            static_cast<long long>(t.warnings));
    }
    return core::Format(
        "Checked %lld banks, %lld programs, %lld multisamples, %lld samples (%lld bytes): %lld refused, "
        "%lld missing files, %lld case-only references, %lld orphans (%lld bytes); %lld failures, %lld warnings",
        static_cast<long long>(t.banks), static_cast<long long>(t.programs), static_cast<long long>(t.multisamples),
        static_cast<long long>(t.samples), static_cast<long long>(t.sampleBytes), static_cast<long long>(t.refused),
        static_cast<long long>(t.missingFiles), static_cast<long long>(t.caseOnly), static_cast<long long>(t.orphans),
        static_cast<long long>(t.orphanBytes), static_cast<long long>(t.failures),
        static_cast<long long>(t.warnings));
}

std::string ReportText(const Report& report) {
    std::string text;
    for (const Finding& finding : report.findings) {
        text.append(SeverityName(finding.severity)).append(" ").append(FindingKindName(finding.kind)).append(": ");
        text.append(Subject(finding)).append(": ").append(finding.detail).append("\n");
        for (std::size_t i = finding.program.empty() ? 1 : 0; i < finding.paths.size(); ++i) {
            text.append("    ").append(Utf8(finding.paths[i])).append("\n");
        }
        if (!finding.usedBy.empty()) {
            text += "    used by " + Joined(finding.usedBy, ", ") + "\n";
        }
    }
    return text + SummaryLine(report) + "\n";
}

std::string ReportJson(const Report& report) {
    const Totals& t = report.totals;
    nlohmann::ordered_json json{{"volume", Utf8(report.volume)},
                        {"manifest", report.manifest.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(Utf8(report.manifest))},
                        {"summary",
                         {{"banks", t.banks}, {"programs", t.programs}, {"refused", t.refused},
                          {"missingFiles", t.missingFiles}, {"caseOnly", t.caseOnly}, {"orphans", t.orphans},
                          {"orphanBytes", t.orphanBytes}, {"multisamples", t.multisamples}, {"samples", t.samples},
                          {"sampleBytes", t.sampleBytes}, {"manifestFiles", t.manifestFiles}, {"failures", t.failures}, {"warnings", t.warnings},
                          {"wouldFailToLoad", report.WouldFailToLoad()}, {"text", SummaryLine(report)}}}};
    nlohmann::ordered_json findings = nlohmann::ordered_json::array();
    for (const Finding& finding : report.findings) {
        findings.push_back({{"kind", FindingKindName(finding.kind)},
                            {"severity", SeverityName(finding.severity)},
                            {"bank", Utf8(finding.bank)},
                            {"program", Utf8(finding.program)},
                            {"paths", Strings(finding.paths)},
                            {"detail", Utf8(finding.detail)},
                            {"usedBy", Strings(finding.usedBy)},
                            {"bytes", finding.bytes}});
    }
    json["findings"] = std::move(findings);
    nlohmann::ordered_json banks = nlohmann::ordered_json::array();
    for (const BankNode& bank : report.banks) {
        nlohmann::ordered_json programs = nlohmann::ordered_json::array();
        for (const ProgramNode& program : bank.programs) {
            nlohmann::ordered_json files = nlohmann::ordered_json::array();
            for (const FileNode& file : program.files) {
                files.push_back(FileJson(file));
            }
            programs.push_back({{"name", Utf8(program.name)}, {"path", Utf8(program.path)},
                                {"slot", program.slot}, {"listed", program.listed},
                                {"refused", program.refused}, {"reason", program.reason},
                                {"files", std::move(files)}});
        }
        banks.push_back({{"name", Utf8(bank.name)}, {"listed", bank.listed}, {"present", bank.present},
                         {"programs", std::move(programs)}});
    }
    json["banks"] = std::move(banks);
    return json.dump(2) + "\n";
}

std::string ReportCsv(const Report& report) {
    std::string csv = "severity,kind,bank,program,path,other paths,used by,bytes,detail\r\n";
    for (const Finding& finding : report.findings) {
        std::vector<std::string> others;
        if (finding.paths.size() > 1) {
            others.assign(finding.paths.begin() + 1, finding.paths.end());
        }
        const std::string fields[] = {SeverityName(finding.severity),
                                      FindingKindName(finding.kind),
                                      Utf8(finding.bank),
                                      Utf8(finding.program),
                                      finding.paths.empty() ? std::string() : Utf8(finding.paths.front()),
                                      Joined(others, " | "),
                                      Joined(finding.usedBy, " | "),
                                      std::to_string(finding.bytes),
                                      Utf8(finding.detail)};
        for (std::size_t i = 0; i < std::size(fields); ++i) {
            csv += (i == 0 ? "" : ",") + CsvField(fields[i]);
        }
        csv += "\r\n";
    }
    return csv;
}

std::string ReportHtml(const Report& report) {
    const auto escape = [](const std::string& text) { return catalogue::EscapeHtml(Utf8(text)); };
    std::string page =
        "<!DOCTYPE html>\n<html><head><meta charset='utf-8'><title>Volume check</title>\n"
        "<style>body{font-family:sans-serif} table{border-collapse:collapse} td,th{border:1px solid #999;"
        "padding:2px 6px;text-align:left} .failure{color:#b00} .problem{color:#b00;font-weight:bold}</style>\n"
        "</head><body>\n<h1>Volume check: " + escape(report.volume) + "</h1>\n<p>" + escape(SummaryLine(report)) +
        "</p>\n<table>\n<tr><th>Severity</th><th>Kind</th><th>Subject</th><th>Detail</th><th>Used by</th></tr>\n";
    for (const Finding& finding : report.findings) {
        std::string subject = escape(Subject(finding));
        for (std::size_t i = 1; i < finding.paths.size(); ++i) {
            subject += "<br>" + escape(finding.paths[i]);
        }
        page += std::string("<tr class='") + SeverityName(finding.severity) + "'><td>" +
                SeverityName(finding.severity) + "</td><td>" + FindingKindName(finding.kind) + "</td><td>" +
                subject + "</td><td>" + escape(finding.detail) + "</td><td>" +
                catalogue::EscapeHtml(Joined(finding.usedBy, ", ")) + "</td></tr>\n";
    }
    page += "</table>\n<h2>Banks</h2>\n<ul>\n";
    const auto allMarks = ProgramMarks(report);
    for (const BankNode& bank : report.banks) {
        page += "<li>" + escape(bank.name) + (bank.listed ? "" : " <small>(not listed)</small>") +
                (bank.present ? "" : " <span class='problem'>(missing)</span>") + "<ul>\n";
        for (const ProgramNode& program : bank.programs) {
            const auto found = allMarks.find({bank.name, program.name});
            const std::string marks = found == allMarks.end() ? std::string() : found->second;
            page += "<li" + std::string(program.refused ? " class='problem'" : "") + ">" +
                    (program.slot.empty() ? "" : program.slot + " ") + escape(program.name) +
                    (marks.empty() ? "" : " <small>(" + escape(marks) + ")</small>") + "<ul>\n";
            for (const FileNode& file : program.files) {
                HtmlFile(page, file);
            }
            page += "</ul></li>\n";
        }
        page += "</ul></li>\n";
    }
    return page + "</ul>\n</body></html>\n";
}

}  // namespace velmorant::doctor
