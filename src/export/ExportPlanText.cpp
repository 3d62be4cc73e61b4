#include <nlohmann/json.hpp>

#include "bank/Bank.h"
#include "core/Encoding.h"
#include "core/Path.h"
#include "core/Text.h"
#include "export/ExportManifest.h"
#include "export/ExportPlan.h"
#include "export/ExportProgram.h"

namespace velmorant::exporting {

std::string RelativePath(const std::string& root, const std::string& path) {
    std::string relative = path.rfind(root, 0) == 0 ? path.substr(std::min(path.size(), root.size() + 1)) : path;
    std::replace(relative.begin(), relative.end(), core::kNativeSeparator, '/');
    return core::PathToUtf8(relative);
}

namespace {

const char* ActionName(const PlannedFile& file) {
    switch (file.action) {
        case Action::kCopy: return "copy";
        case Action::kWrite: return file.replaces ? "replace" : "write";
        case Action::kReuse: return "reuse";
        case Action::kMissing: return "missing";
    }
    return "";
}

// What a line says after the path: where it comes from, and why it is reused, numbered or kept.
std::string FileNote(const PlannedFile& file) {
    std::string note;
    if (file.action == Action::kMissing) {
        return "missing on the source volume, not copied";
    }
    if (file.action == Action::kReuse) {
        note = "the same content is already there";
    } else if (!file.source.empty()) {
        note = "from " + core::PathToUtf8(file.source);
    }
    if (!file.numbered.empty()) {
        note += "; numbered: " + core::PathToUtf8(file.numbered);
    }
    if (file.replaces) {
        note += std::string(note.empty() ? "" : "; ") + "the file there is kept as " +
                core::PathToUtf8(core::PathFileName(file.destination)) + ".bak" +
                (file.asks ? ", if you agree" : "");
    }
    return note;
}

std::string SlotOf(int slot) {
    return slot >= 0 ? bank::SlotLabel(slot) : std::string("--");
}

void AppendFile(std::string& text, const ExportPlan& plan, const PlannedFile& file) {
    const std::string shown = file.action == Action::kMissing ? core::PathToUtf8(file.source)
                                                               : RelativePath(plan.destination, file.destination);
    text += core::Format("  %-8s %s", ActionName(file), shown.c_str());
    if (const std::string note = FileNote(file); !note.empty()) {
        text += "  (" + note + ")";
    }
    text += "\n";
    for (const PlannedReference& reference : file.references) {
        text += core::Format("             reference at %u: %s \xE2\x86\x92 %s\n", reference.offset,
                             core::Cp1252ToUtf8(reference.oldName).c_str(),
                             core::Cp1252ToUtf8(reference.newName).c_str());
    }
}

struct Tally {
    int copies = 0;
    std::uint64_t copyBytes = 0;
    int writes = 0;
    int reused = 0;
    int numbered = 0;
    int missing = 0;
};

Tally TallyOf(const ExportPlan& plan) {
    Tally tally;
    for (const PlannedFile& file : plan.files) {
        tally.copies += file.action == Action::kCopy ? 1 : 0;
        tally.copyBytes += file.action == Action::kCopy ? file.size : 0;
        tally.writes += file.action == Action::kWrite ? 1 : 0;
        tally.reused += file.action == Action::kReuse ? 1 : 0;
        tally.numbered += file.numbered.empty() || file.action == Action::kReuse ? 0 : 1;
        tally.missing += file.action == Action::kMissing ? 1 : 0;
    }
    return tally;
}

}  // namespace

std::string PlanText(const ExportPlan& plan) {
    const ExportMode flags = ExportMode::FromCode(plan.mode);
    std::string text = core::Format("Export of bank %s into %s (copies in %s, references %s)\n",
                                    core::Cp1252ToUtf8(plan.bankName).c_str(),
                                    core::PathToUtf8(plan.destination).c_str(),
                                    flags.bankFolders ? "folders named after the bank" : "folders named like their sources",
                                    flags.writeFolder ? "naming their folder" : "without folder");
    for (std::size_t p = 0; p < plan.programs.size(); ++p) {
        const PlannedProgram& program = plan.programs[p];
        text += SlotOf(program.slot) + " " + core::Cp1252ToUtf8(program.name);
        if (program.refusal != 0) {
            text += ": not exported: " + core::PathToUtf8(std::string(core::TrimSpaces(program.why))) + "\n";
            continue;
        }
        text += "\n";
        for (const std::size_t index : program.files) {
            if (plan.files[index].firstProgram == static_cast<int>(p)) {
                AppendFile(text, plan, plan.files[index]);
            }
        }
    }
    text += "Bank files\n";
    for (const PlannedFile& file : plan.files) {
        if (file.kind == FileKind::kBankList || file.kind == FileKind::kManifest) {
            AppendFile(text, plan, file);
        }
    }
    if (!plan.listed) {
        text += "The bank is not listed in the destination's Programs/bank.txt.\n";
    }
    const Tally tally = TallyOf(plan);
    text += core::Format("To copy: %i files, %s; to write: %i files; reused: %i; numbered: %i; missing on the "
                         "source volume: %i\n",
                         tally.copies, ByteSize(tally.copyBytes).c_str(), tally.writes, tally.reused, tally.numbered,
                         tally.missing);
    text += core::Format("Bytes to write: %s; free at the destination: %s\n", ByteSize(plan.BytesToWrite()).c_str(),
                         plan.freeBytes ? ByteSize(*plan.freeBytes).c_str() : "unknown");
    if (const std::string problem = plan.SpaceProblem(); !problem.empty()) {
        text += core::PathToUtf8(problem) + "\n";
    }
    return text;
}

std::string PlanJson(const ExportPlan& plan) {
    using nlohmann::ordered_json;
    const auto nullable = [](const std::string& text) { return text.empty() ? ordered_json(nullptr) : ordered_json(text); };
    ordered_json programs = ordered_json::array();
    for (const PlannedProgram& program : plan.programs) {
        programs.push_back({{"slot", program.slot >= 0 ? ordered_json(bank::SlotLabel(program.slot)) : ordered_json(nullptr)},
                            {"name", core::Cp1252ToUtf8(program.name)},
                            {"exported", program.refusal == 0},
                            {"reason", nullable(core::PathToUtf8(std::string(core::TrimSpaces(program.why))))}});
    }
    ordered_json files = ordered_json::array();
    for (const PlannedFile& file : plan.files) {
        ordered_json references = ordered_json::array();
        for (const PlannedReference& reference : file.references) {
            references.push_back({{"offset", reference.offset},
                                  {"old", core::Cp1252ToUtf8(reference.oldName)},
                                  {"new", core::Cp1252ToUtf8(reference.newName)}});
        }
        const bool ofProgram = file.firstProgram >= 0;
        files.push_back({{"path", RelativePath(plan.destination, file.destination)},
                         {"kind", KindName(file.kind)},
                         {"action", ActionName(file)},
                         {"source", nullable(core::PathToUtf8(file.source))},
                         {"oldName", core::Cp1252ToUtf8(file.oldName)},
                         {"newName", core::Cp1252ToUtf8(file.newName)},
                         {"numbered", nullable(core::PathToUtf8(file.numbered))},
                         {"replaces", file.replaces},
                         {"size", file.size},
                         {"program", ofProgram ? ordered_json(SlotOf(plan.programs[static_cast<std::size_t>(
                                                                             file.firstProgram)].slot))
                                               : ordered_json(nullptr)},
                         {"references", std::move(references)}});
    }
    const ordered_json document{{"destination", core::PathToUtf8(plan.destination)},
                                {"bank", core::Cp1252ToUtf8(plan.bankName)},
                                {"programs", std::move(programs)},
                                {"files", std::move(files)},
                                {"bytesToWrite", plan.BytesToWrite()},
                                {"freeBytes", plan.freeBytes ? ordered_json(*plan.freeBytes) : ordered_json(nullptr)},
                                {"spaceProblem", nullable(core::PathToUtf8(plan.SpaceProblem()))},
                                {"listed", plan.listed}};
    return document.dump(2) + "\n";
}

}  // namespace velmorant::exporting
