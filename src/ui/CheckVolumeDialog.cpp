#include "ui/CheckVolumeDialog.h"

#include <QApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "core/AtomicWrite.h"
#include "core/Encoding.h"
#include "doctor/ReportWriters.h"
#include "export/ExportManifest.h"
#include "ui/QtPlatform.h"
#include "ui_CheckVolumeDialog.h"

namespace velmorant::ui {
namespace {

using doctor::FindingKind;
using doctor::Severity;

// 0 nothing, 1 a warning, 2 a failure: here or below, and of the item's own problems.
constexpr int kSeverityRole = Qt::UserRole;
constexpr int kOwnSeverityRole = Qt::UserRole + 1;

QString Shown(std::string_view text) {
    return QString::fromStdString(core::PathToUtf8(text));
}

const char* GroupTitle(FindingKind kind) {
    switch (kind) {
    case FindingKind::kRefusedProgram: return "Programs an import refuses";
    case FindingKind::kMissingFile: return "Missing files";
    case FindingKind::kCaseOnly: return "Found only when letter case is ignored";
    case FindingKind::kOrphan: return "Orphans: files no program uses";
    case FindingKind::kSameAudio: return "Same audio under different names";
    case FindingKind::kNameClash: return "Different audio under one name";
    case FindingKind::kNameNotShown: return "Names the instrument cannot show";
    case FindingKind::kBankList: return "Bank lists";
    case FindingKind::kBankFolder: return "Bank folders";
    case FindingKind::kMalformedFile: return "Malformed files";
    case FindingKind::kNotListed: return "Programs their bank.txt does not list";
    case FindingKind::kManifestUnreadable: return "Export manifest";
    case FindingKind::kManifestMissing: return "Missing from the destination";
    case FindingKind::kManifestChanged: return "Changed at the destination";
    case FindingKind::kManifestExtra: return "Not in the manifest";
    }
    return "Other findings";
}

// Marks the item with the problem's text, and it and its ancestors with the worst severity
// below them, so a collapsed bank still shows that something inside it is wrong.
void Mark(QTreeWidgetItem* item, Severity severity, const QString& text) {
    const int rank = severity == Severity::kFailure ? 2 : 1;
    if (!text.isEmpty()) {
        const QString before = item->text(1);
        item->setText(1, before.isEmpty() ? text : before + QStringLiteral("; ") + text);
        item->setData(0, kOwnSeverityRole, std::max(rank, item->data(0, kOwnSeverityRole).toInt()));
    }
    const QIcon icon =
        QApplication::style()->standardIcon(rank == 2 ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning);
    const QBrush colour(rank == 2 ? QColor(0xb0, 0x00, 0x00) : QColor(0x8a, 0x55, 0x00));
    for (QTreeWidgetItem* at = item; at != nullptr && at->data(0, kSeverityRole).toInt() < rank; at = at->parent()) {
        at->setData(0, kSeverityRole, rank);
        at->setIcon(0, icon);
        at->setForeground(0, colour);
        at->setForeground(1, colour);
    }
}

QString DetailWithUsers(const doctor::Finding& finding) {
    QString text = Shown(finding.detail);
    if (finding.bytes > 0) {
        text += QStringLiteral(" (%1)").arg(QString::fromStdString(exporting::ByteSize(static_cast<std::uint64_t>(finding.bytes))));
    }
    if (!finding.usedBy.empty()) {
        QStringList users;
        for (const std::string& user : finding.usedBy) {
            users << Shown(user);
        }
        text += QStringLiteral("; used by ") + users.join(QStringLiteral(", "));
    }
    return text;
}

}  // namespace

CheckVolumeDialog::CheckVolumeDialog(doctor::Report report, platform::Platform& platform, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CheckVolumeDialog>()), report_(std::move(report)), platform_(platform) {
    ui_->setupUi(this);
    setWindowTitle(QStringLiteral("Volume check: %1").arg(Shown(report_.volume)));
    ui_->summaryLabel->setText(Shown(doctor::SummaryLine(report_)));
    ui_->reportTree->header()->setStretchLastSection(true);
    ui_->reportTree->setColumnWidth(0, 400);
    fillTree();
    connect(ui_->saveButton, &QPushButton::clicked, this, &CheckVolumeDialog::saveReport);
    connect(ui_->closeButton, &QPushButton::clicked, this, &QDialog::close);
}

CheckVolumeDialog::~CheckVolumeDialog() = default;

void CheckVolumeDialog::fillTree() {
    QTreeWidget* tree = ui_->reportTree;
    const auto below = [this](const std::string& path) {
        return QString::fromStdString(exporting::RelativePath(report_.volume, path));
    };
    std::map<std::string, QTreeWidgetItem*> banks;
    std::map<std::pair<std::string, std::string>, QTreeWidgetItem*> programs;
    std::multimap<std::string, QTreeWidgetItem*> files;
    std::vector<std::pair<QTreeWidgetItem*, const doctor::ProgramNode*>> programItems;
    std::vector<std::pair<QTreeWidgetItem*, const doctor::FileNode*>> fileItems;
    const auto addFile = [&](const auto& self, QTreeWidgetItem* parent, const doctor::FileNode& file) -> void {
        auto* item = new QTreeWidgetItem(parent, {below(file.path)});
        files.emplace(file.path, item);
        fileItems.emplace_back(item, &file);
        for (const doctor::FileNode& sample : file.samples) {
            self(self, item, sample);
        }
    };
    for (const doctor::BankNode& bank : report_.banks) {
        auto* bankItem = new QTreeWidgetItem(tree, {Shown(bank.name)});
        banks.emplace(bank.name, bankItem);
        for (const doctor::ProgramNode& program : bank.programs) {
            auto* item = new QTreeWidgetItem(bankItem, {Shown(program.slot.empty() ? program.name
                                                                                   : program.slot + "  " + program.name)});
            programs.emplace(std::pair{bank.name, program.name}, item);
            programItems.emplace_back(item, &program);
            for (const doctor::FileNode& file : program.files) {
                addFile(addFile, item, file);
            }
        }
    }

    std::map<FindingKind, QTreeWidgetItem*> groups;
    for (const doctor::Finding& finding : report_.findings) {
        const QString detail = Shown(finding.detail);
        if (!finding.program.empty()) {
            if (const auto it = programs.find({finding.bank, finding.program}); it != programs.end()) {
                Mark(it->second, finding.severity, detail);
                continue;
            }
        } else if (const auto it = banks.find(finding.bank); !finding.bank.empty() && it != banks.end()) {
            Mark(it->second, finding.severity, detail);
        }
        for (const std::string& path : finding.paths) {
            for (auto [it, end] = files.equal_range(path); it != end; ++it) {
                Mark(it->second, finding.severity, detail);
            }
        }
        QTreeWidgetItem*& group = groups[finding.kind];
        if (group == nullptr) {
            group = new QTreeWidgetItem(QStringList{QString::fromLatin1(GroupTitle(finding.kind))});
        }
        const QString subject = !finding.program.empty() ? Shown(finding.bank + "/" + finding.program)
                                : finding.paths.empty()  ? Shown(finding.bank)
                                                         : below(finding.paths.front());
        auto* item = new QTreeWidgetItem(group, {subject});
        Mark(item, finding.severity, DetailWithUsers(finding));
        for (std::size_t i = 1; i < finding.paths.size(); ++i) {
            new QTreeWidgetItem(item, {below(finding.paths[i])});
        }
    }
    for (const auto& [kind, group] : groups) {
        group->setText(0, group->text(0) + QStringLiteral(" (%1)").arg(group->childCount()));
        tree->addTopLevelItem(group);
    }
    // What the tree shows when no finding named the item.
    for (const auto& [item, program] : programItems) {
        if (program->refused && item->text(1).isEmpty()) {
            Mark(item, Severity::kFailure, Shown(program->reason));
        }
    }
    for (const auto& [item, file] : fileItems) {
        if (!item->text(1).isEmpty()) {
            continue;
        }
        if (file->state == doctor::FileState::kMissing) {
            Mark(item, Severity::kFailure, QStringLiteral("missing"));
        } else if (file->state == doctor::FileState::kCaseOnly) {
            Mark(item, Severity::kWarning, QStringLiteral("found only when letter case is ignored"));
        }
    }

    // Opened on the first thing that would fail to load, else on the first warning.
    QTreeWidgetItem* first = nullptr;
    for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) {
        if ((*it)->data(0, kOwnSeverityRole).toInt() >
            (first == nullptr ? 0 : first->data(0, kOwnSeverityRole).toInt())) {
            first = *it;
        }
    }
    if (first != nullptr) {
        for (QTreeWidgetItem* parent = first->parent(); parent != nullptr; parent = parent->parent()) {
            parent->setExpanded(true);
        }
        tree->setCurrentItem(first);
        tree->scrollToItem(first);
    }
}

void CheckVolumeDialog::saveReport() {
    const std::optional<std::string> path = platform_.ChooseSaveFile(
        {"Save Report",
         {{"HTML page (.html)", "*.html"}, {"CSV table (.csv)", "*.csv"}, {"JSON document (.json)", "*.json"}},
         "volume-check.html"});
    if (!path) {
        return;
    }
    const QString suffix = QFileInfo(QtPlatform::FromNativePath(*path)).suffix().toLower();
    std::string document;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm")) {
        document = doctor::ReportHtml(report_);
    } else if (suffix == QLatin1String("csv")) {
        document = doctor::ReportCsv(report_);
    } else if (suffix == QLatin1String("json")) {
        document = doctor::ReportJson(report_);
    } else {
        platform_.ShowMessage("The report is saved as an HTML page (.html), a CSV table (.csv) or a JSON document "
                              "(.json); choose a name with one of these endings instead of\n" +
                                  core::PathToUtf8(*path),
                              "Save Report", platform::Icon::kWarning);
        return;
    }
    if (const core::FileStatus status = core::WriteFileAtomically(*path, document); !status) {
        platform_.ShowMessage("Cannot write " + core::PathToUtf8(*path) + " : " + status.Reason(), "Error",
                              platform::Icon::kStop);
        return;
    }
    ui_->savedLabel->setText(QStringLiteral("Saved as %1").arg(QtPlatform::FromNativePath(*path)));
}

}  // namespace velmorant::ui
