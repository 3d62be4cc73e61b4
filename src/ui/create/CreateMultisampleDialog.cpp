#include "ui/create/CreateMultisampleDialog.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QShortcut>
#include <QTreeWidgetItem>

#include "core/Debug.h"
#include "create/Multisample.h"
#include "create/MultisampleEditor.h"
#include "ui/NoteNaming.h"
#include "ui/QtPlatform.h"
#include "ui/RecordText.h"
#include "ui/create/EditorArt.h"
#include "ui/create/KeyboardWidgets.h"
#include "ui/create/SamplePreview.h"
#include "ui/create/WaveformWidget.h"
#include "ui_CreateMultisampleDialog.h"

namespace velmorant::ui {

namespace {

QString Text(const std::string& path) { return FromPathText(path); }

std::vector<std::string> PathsOf(const std::vector<create::SampleEntry>& entries) {
    std::vector<std::string> paths;
    for (const create::SampleEntry& entry : entries) {
        paths.push_back(entry.path);
    }
    return paths;
}

}  // namespace

CreateMultisampleDialog::CreateMultisampleDialog(platform::Platform& platform, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CreateMultisampleDialog>()), middleC_(MiddleCSetting()),
      audioIn_(EditorAudioIn(middleC_)), platform_(platform) {
    ui_->setupUi(this);
    entries_.reserve(create::kMaxSampleEntries);
    preview_ = new SamplePreview(this);
    connect(preview_, &SamplePreview::failed, this, &CreateMultisampleDialog::showStatus);
    ui_->zoneIndexEdit->hide();
    ui_->autoMapButton->setIcon(AutoMapIcon());
    ui_->playButton->setIcon(PlayIcon());
    ui_->keyboard->setEntries(&entries_);

    // Each column as wide as its longest possible text, so no note range is ever cut.
    QHeaderView* header = ui_->sampleList->header();
    const QFontMetrics metrics(ui_->sampleList->font());
    const char* widest[] = {"Piano C4 soft velocity", "99999Kb", "C#-1 (127)", "C#-1 - C#-1 (127-127)",
                            "127-127", kWidestConversion};
    for (int column = 0; column < 6; ++column) {
        header->resizeSection(column, metrics.horizontalAdvance(QString::fromUtf8(widest[column])) + 24);
    }
    // A longer conversion (loop points, clipping) is whole in the cell's tooltip.
    header->setStretchLastSection(true);
    ui_->sampleList->setMinimumWidth(header->length() + 4);
    PreparePlanLine(ui_->planLabel);
    // The zone box keeps its place while no sample is selected, so nothing moves under the mouse.
    QSizePolicy zonePolicy = ui_->zoneGroup->sizePolicy();
    zonePolicy.setRetainSizeWhenHidden(true);
    ui_->zoneGroup->setSizePolicy(zonePolicy);
    // Key number = list position, so a combo box's index is the key.
    for (QComboBox* combo : {ui_->rootCombo, ui_->leftCombo, ui_->rightCombo}) {
        for (int key = 0; key < 128; ++key) {
            combo->addItem(QString::fromLatin1(create::NoteName(key, middleC_)));
        }
    }
    ui_->sampleList->viewport()->setAcceptDrops(true);
    ui_->sampleList->viewport()->installEventFilter(this);

    connect(ui_->addButton, &QPushButton::clicked, this, &CreateMultisampleDialog::AddSamples);
    connect(ui_->removeButton, &QPushButton::clicked, this, &CreateMultisampleDialog::removeSelected);
    connect(ui_->autoMapButton, &QPushButton::clicked, this, &CreateMultisampleDialog::autoMap);
    connect(ui_->playButton, &QPushButton::clicked, this, &CreateMultisampleDialog::previewSelected);
    connect(ui_->applyButton, &QPushButton::clicked, this, &CreateMultisampleDialog::ApplyZone);
    connect(ui_->okButton, &QPushButton::clicked, this, &CreateMultisampleDialog::build);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->sampleList, &QTreeWidget::itemSelectionChanged, this, [this] { ShowZone(selectedRow()); });
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), ui_->sampleList);
    space->setContext(Qt::WidgetShortcut);
    connect(space, &QShortcut::activated, this, &CreateMultisampleDialog::previewSelected);

    ShowZone(-1);
    FillSampleList();
}

CreateMultisampleDialog::~CreateMultisampleDialog() = default;

void CreateMultisampleDialog::AddSamples() {
    platform::OpenFileRequest request;
    request.title = audioIn_.strict ? "Add WAV files" : "Add audio files";
    request.filters = AudioFileFilters(audioIn_.strict);
    request.multiple = true;
    const auto chosen = platform_.ChooseOpenFiles(request);
    if (!chosen) {
        core::DebugPrint("No");
        ui_->keyboard->update();
        return;
    }
    if (create::AddAudioFiles(platform_, *chosen, entries_, audioIn_) > 0) {
        unbuilt_ = true;
    }
    refreshAll(-1);
}

void CreateMultisampleDialog::addSampleFiles(const QStringList& paths) {
    std::vector<std::string> native;
    native.reserve(static_cast<std::size_t>(paths.size()));
    for (const QString& path : paths) {
        native.push_back(QtPlatform::ToNativePath(path));
    }
    const int added = create::AddAudioFiles(platform_, native, entries_, audioIn_);
    unbuilt_ = unbuilt_ || added > 0;
    refreshAll(-1);
    showStatus(tr("%n sample(s) added", nullptr, added));
}

void CreateMultisampleDialog::FillSampleList(int select) {
    core::DebugPrint("filling the sample list (%i)\n", static_cast<int>(entries_.size()));
    const std::vector<std::string> paths = PathsOf(entries_);
    const QStringList conversions = notes_.conversions(paths);
    {
        const QSignalBlocker blocker(ui_->sampleList);
        ui_->sampleList->clear();
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            core::DebugPrint("%i - %s\n", static_cast<int>(i), entries_[i].path.c_str());
            const create::SampleRow row = create::MakeSampleRow(entries_[i], middleC_);
            auto* item = new QTreeWidgetItem(ui_->sampleList, {Text(row.name), QString::fromStdString(row.size),
                                                                QString::fromStdString(row.root),
                                                                QString::fromStdString(row.notes),
                                                                QString::fromStdString(row.velocity),
                                                                conversions[static_cast<int>(i)]});
            item->setToolTip(5, conversions[static_cast<int>(i)]);
            item->setIcon(0, LockIcon(row.image == 1));
            const QString notes = notes_.forFile(entries_[i].path);
            item->setToolTip(0, notes.isEmpty() ? Text(entries_[i].path) : Text(entries_[i].path) + '\n' + notes);
        }
        if (select >= 0 && select < ui_->sampleList->topLevelItemCount()) {
            QTreeWidgetItem* item = ui_->sampleList->topLevelItem(select);
            ui_->sampleList->setCurrentItem(item);
            ui_->sampleList->scrollToItem(item);
        }
    }
    SetPlanLine(ui_->planLabel, notes_.summary(paths));
    ShowZone(selectedRow());
}

void CreateMultisampleDialog::ShowZone(int index) {
    ui_->keyboard->setSelected(index);
    if (index < 0 || index >= static_cast<int>(entries_.size())) {
        ui_->zoneGroup->hide();
        ui_->waveform->showFile({});
        return;
    }
    const create::SampleEntry& entry = entries_[static_cast<std::size_t>(index)];
    // A refill reselects the same row; its peaks are already there or on their way.
    if (const QString path = Text(entry.path); path != ui_->waveform->file()) {
        ui_->waveform->showFile(path);
    }
    ui_->rootCombo->setCurrentIndex(entry.rootKey);
    ui_->leftCombo->setCurrentIndex(entry.leftKey);
    ui_->rightCombo->setCurrentIndex(entry.rightKey);
    ui_->zoneIndexEdit->setText(QString::number(index));
    ui_->lockedCheck->setChecked(entry.locked == 1);
    ui_->zoneGroup->show();
}

int CreateMultisampleDialog::ApplyZone() {
    bool read = false;
    const int index = ui_->zoneIndexEdit->text().left(9).toInt(&read);
    core::DebugPrint("selected id %i\n", index);
    // The entry shown may have gone since (removed while its controls were visible).
    if (!read || index < 0 || index >= static_cast<int>(entries_.size())) {
        return 0;
    }
    create::ZoneChoice zone;
    zone.leftKey = ui_->leftCombo->currentIndex();
    zone.rightKey = ui_->rightCombo->currentIndex();
    zone.rootKey = ui_->rootCombo->currentIndex();
    zone.locked = ui_->lockedCheck->isChecked();
    if (create::ApplyZone(platform_, entries_[static_cast<std::size_t>(index)], zone) != 1) {
        return 0;
    }
    unbuilt_ = true;
    refreshAll(selectedRow());
    ui_->sampleList->setFocus();
    return 1;
}

void CreateMultisampleDialog::removeSelected() {
    const int row = selectedRow();
    if (row < 0) {
        return;
    }
    create::RemoveSample(entries_, row);
    unbuilt_ = !entries_.empty();
    refreshAll(-1);
}

void CreateMultisampleDialog::autoMap() {
    if (!platform_.Confirm("Do you want auto map samples ?\n Current mapping unlocked will be loose", "Auto map",
                           platform::Icon::kQuestion)) {
        return;
    }
    create::AutoMapSamples(entries_);
    unbuilt_ = true;
    refreshAll(selectedRow());
}

void CreateMultisampleDialog::build() {
    platform::SaveFileRequest request;
    request.title = "Create Multisample";
    request.filters = {{"Fusion program file(.afp)", "*.afp"}, {"All files", "*.*"}};
    const auto chosen = platform_.ChooseSaveFile(request);
    if (!chosen) {
        return;
    }
    const create::MultisampleBuildResult result = create::BuildMultisample(platform_, entries_, *chosen, audioIn_);
    notes_.setBuild(PathsOf(entries_), result.conversions);
    FillSampleList(selectedRow());
    if (result.code == create::BuildResult::kDone) {
        unbuilt_ = false;
        showStatus(tr("Built %1").arg(Text(result.programPath)));
    } else {
        showStatus(tr("Nothing was built"));
    }
}

void CreateMultisampleDialog::previewSelected() {
    const int row = selectedRow();
    if (row < 0) {
        showStatus(tr("Select a sample to listen to it."));
        return;
    }
    showStatus(preview_->play(Text(entries_[static_cast<std::size_t>(row)].path)));
}

void CreateMultisampleDialog::reject() {
    // Escape, Cancel and the window's close button all come here.
    if (unbuilt_ && !entries_.empty() &&
        !platform_.Confirm("The samples in the list were not built into a multisample; they are dropped "
                           "when the editor closes.\nClose anyway?",
                           "Confirm", platform::Icon::kQuestion)) {
        return;
    }
    QDialog::reject();
}

int CreateMultisampleDialog::selectedRow() const {
    const QList<QTreeWidgetItem*> selected = ui_->sampleList->selectedItems();
    if (selected.isEmpty()) {
        return -1;
    }
    return ui_->sampleList->indexOfTopLevelItem(selected.front());
}

QString CreateMultisampleDialog::statusText() const { return ui_->statusLabel->text(); }

void CreateMultisampleDialog::showStatus(const QString& text) { ui_->statusLabel->setText(text); }

void CreateMultisampleDialog::refreshAll(int select) {
    FillSampleList(select);
    ui_->keyboard->update();
}

bool CreateMultisampleDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->sampleList->viewport()) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (!AudioFilesIn(drag->mimeData(), audioIn_.strict).isEmpty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList files = AudioFilesIn(drop->mimeData(), audioIn_.strict);
            if (!files.isEmpty()) {
                drop->acceptProposedAction();
                addSampleFiles(files);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace velmorant::ui
