#include "ui/MainWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QUrl>

#include <QDir>

#include <algorithm>

#include "bank/ImportJobs.h"
#include "bank/SlotPanels.h"
#include "catalogue/CatalogueJob.h"
#include "core/Debug.h"
#include "doctor/CheckJob.h"
#include "ui/AboutDialog.h"
#include "ui/CheckVolumeDialog.h"
#include "ui/ExportDialog.h"
#include "ui/GuiThread.h"
#include "ui/JobRunner.h"
#include "ui/NoteNaming.h"
#include "ui/LogDialog.h"
#include "ui/PropertiesDialog.h"
#include "ui/QtPlatform.h"
#include "ui/RecordText.h"
#include "ui/RenameDialog.h"
#include "ui/SlotListWidget.h"
#include "ui_MainWindow.h"
#include "volume/Summary.h"

namespace velmorant::ui {
MainWindow::MainWindow(platform::Platform& platform, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::MainWindow>()), platform_(platform) {
    ui_->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/velmorant/velmorant.png")));
    jobs_ = new JobRunner(this);
    // Extra height goes to the slot lists; the panels below keep what they need.
    ui_->centralLayout->setStretch(0, 1);
    ui_->centralLayout->setStretch(1, 0);

    SlotListWidget* lists[16] = {ui_->slotListA, ui_->slotListB, ui_->slotListC, ui_->slotListD,
                                 ui_->slotListE, ui_->slotListF, ui_->slotListG, ui_->slotListH,
                                 ui_->slotListI, ui_->slotListJ, ui_->slotListK, ui_->slotListL,
                                 ui_->slotListM, ui_->slotListN, ui_->slotListO, ui_->slotListP};
    QCheckBox* boxes[16] = {ui_->categoryBoxA, ui_->categoryBoxB, ui_->categoryBoxC, ui_->categoryBoxD,
                            ui_->categoryBoxE, ui_->categoryBoxF, ui_->categoryBoxG, ui_->categoryBoxH,
                            ui_->categoryBoxI, ui_->categoryBoxJ, ui_->categoryBoxK, ui_->categoryBoxL,
                            ui_->categoryBoxM, ui_->categoryBoxN, ui_->categoryBoxO, ui_->categoryBoxP};
    for (int group = 0; group < bank::kGroupCount; ++group) {
        SlotListWidget* list = lists[group];
        lists_[static_cast<std::size_t>(group)] = list;
        categoryBoxes_[static_cast<std::size_t>(group)] = boxes[group];
        list->setGroup(group);
        for (int row = 0; row < bank::kSlotsPerGroup; ++row) {
            list->addItem(QString());
        }
        // All eight slots stay visible at the window's smallest size, at any font size.
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setMinimumHeight(bank::kSlotsPerGroup * std::max(list->sizeHintForRow(0), list->fontMetrics().height()) +
                               2 * list->frameWidth() + 2);
        connect(list, &QListWidget::itemSelectionChanged, this, &MainWindow::onListSelectionChanged);
        connect(list, &SlotListWidget::slotDropped, this, &MainWindow::onSlotDropped);
        connect(list, &SlotListWidget::filesDropped, this, &MainWindow::importFiles);
        connect(boxes[group], &QCheckBox::clicked, this, [this] {
            CancelSwitch();
            StoreCategories();
        });
    }
    connect(ui_->mainCategoryBox, &QComboBox::activated, this, [this] {
        CancelSwitch();
        markMainCategory();
        StoreCategories();
    });
    setAcceptDrops(true);

    ui_->actionImportPrograms->setShortcut(QKeySequence::Open);
    ui_->actionImportBank->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    ui_->actionExportBank->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    ui_->actionQuit->setShortcut(QKeySequence::Quit);
    ui_->actionRename->setShortcut(QKeySequence(Qt::Key_F2));
    ui_->actionRemove->setShortcut(QKeySequence::Delete);
    ui_->actionSwitch->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    ui_->actionProperties->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Return));
    ui_->actionLogs->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    ui_->actionShortcuts->setShortcut(QKeySequence::HelpContents);
    ui_->actionCreateMultisample->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    ui_->actionCreateDrumProgram->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    ui_->actionCreateCatalogue->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    ui_->actionCreateDynamicCatalogue->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K));
    ui_->actionCheckVolume->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));

    connectCommand(ui_->actionImportPrograms, &MainWindow::importPrograms);
    connectCommand(ui_->actionImportBank, &MainWindow::importBank);
    connectCommand(ui_->actionExportBank, &MainWindow::exportBank);
    connectCommand(ui_->actionQuit, &MainWindow::quit);
    connectCommand(ui_->actionRename, &MainWindow::renameProgram);
    connectCommand(ui_->actionRemove, &MainWindow::removeProgram);
    connectCommand(ui_->actionSwitch, &MainWindow::switchSlots);
    connectCommand(ui_->actionProperties, &MainWindow::showProperties);
    connectCommand(ui_->actionLogs, &MainWindow::showLogs);
    connectCommand(ui_->actionCreateCatalogue, &MainWindow::createCatalogue);
    connectCommand(ui_->actionCreateDynamicCatalogue, &MainWindow::createDynamicCatalogue);
    connectCommand(ui_->actionCheckVolume, &MainWindow::checkVolume);
    connectCommand(ui_->actionCreateDrumProgram, &MainWindow::createDrumProgram);
    connectCommand(ui_->actionCreateMultisample, &MainWindow::createMultisample);
    connectCommand(ui_->actionAbout, &MainWindow::showAbout);
    connectCommand(ui_->actionShortcuts, &MainWindow::showShortcuts);
    // One octave numbering for both editors' note names.
    auto* middleC = new QActionGroup(this);
    middleC->addAction(ui_->actionMiddleC3);
    middleC->addAction(ui_->actionMiddleC4);
    (MiddleCSetting() == audio::MiddleC::kC3 ? ui_->actionMiddleC3 : ui_->actionMiddleC4)->setChecked(true);
    connect(ui_->actionMiddleC3, &QAction::triggered, this, [] { SetMiddleCSetting(audio::MiddleC::kC3); });
    connect(ui_->actionMiddleC4, &QAction::triggered, this, [] { SetMiddleCSetting(audio::MiddleC::kC4); });
    ui_->actionStrictAudio->setChecked(StrictAudioSetting());
    connect(ui_->actionStrictAudio, &QAction::toggled, this, [](bool strict) { SetStrictAudioSetting(strict); });
    connect(ui_->menuRecent, &QMenu::aboutToShow, this, &MainWindow::fillRecentMenu);
    fillRecentMenu();

    // Start-up: an empty bank, the export options, and slot A1's (empty) information.
    bank::InitBank(bank_);
    FillSlotLists();
    exportOptions_ = exporting::DefaultExportOptions(ExportDialog::StartingDestination());
    ui_->mainCategoryBox->addItem(QStringLiteral(" "));
    for (const char* label : bank::CategoryLabels()) {
        ui_->mainCategoryBox->addItem(QString::fromLatin1(label));
    }
    ShowSlotInfo(0);
    statusBar()->showMessage(QStringLiteral("Import programs or a bank from the File menu, or drop files on a slot."));
}

MainWindow::~MainWindow() {
    CancelSwitch();
}

SlotListWidget* MainWindow::slotList(int group) const {
    return (group >= 0 && group < 16) ? lists_[static_cast<std::size_t>(group)] : nullptr;
}

QMenu* MainWindow::editMenu() const {
    return ui_->menuEdit;
}

bool MainWindow::jobRunning() const {
    return jobs_->busy();
}

bool MainWindow::hasUnexportedPrograms() const {
    if (!changedSinceExport_) {
        return false;
    }
    for (int slot = 0; slot < bank::kSlotCount; ++slot) {
        if (bank::SlotOccupied(bank_, slot)) {
            return true;
        }
    }
    return false;
}

void MainWindow::setEditorOpener(Editor editor, EditorOpener opener) {
    (editor == Editor::kDrumProgram ? drumEditor_ : multisampleEditor_) = std::move(opener);
}

void MainWindow::connectCommand(QAction* action, void (MainWindow::*handler)()) {
    // Every command that does not come from a list leaves Switch mode first.
    connect(action, &QAction::triggered, this, [this, handler] {
        if (jobs_->busy()) {
            return;
        }
        CancelSwitch();
        (this->*handler)();
    });
}

// ---------------------------------------------------------------- lists and selection

void MainWindow::FillSlotLists() {
    for (int slot = 0; slot < bank::kSlotCount; ++slot) {
        showSlotText(slot);
    }
}

void MainWindow::showSlotText(int slot) {
    // The eight items of a list stay; only their texts change, so the selection survives.
    QListWidgetItem* item = lists_[static_cast<std::size_t>(slot / bank::kSlotsPerGroup)]->item(slot % bank::kSlotsPerGroup);
    const QString text = FromRecordText(bank::SlotItemText(bank_.slots[static_cast<std::size_t>(slot)]));
    if (item->text() != text) {
        item->setText(text);
    }
}

bank::PlacedCallback MainWindow::showEachPlaced() {
    // The job waits while its program is shown, so the slot is not changing under the list.
    return [this](int slot) { RunOnGuiThread([this, slot] { showSlotText(slot); }); };
}

int MainWindow::GetSelectedSlot() {
    std::array<std::vector<int>, bank::kGroupCount> rows;
    for (int group = 0; group < bank::kGroupCount; ++group) {
        for (QListWidgetItem* item : lists_[static_cast<std::size_t>(group)]->selectedItems()) {
            rows[static_cast<std::size_t>(group)].push_back(lists_[static_cast<std::size_t>(group)]->row(item));
        }
    }
    selectedSlot_ = bank::ChooseSelectedSlot(bank::GatherSelectedSlots(rows), selectedSlot_);
    selectOnly(selectedSlot_);
    return selectedSlot_;
}

void MainWindow::selectOnly(int slot) {
    const bool was = normalising_;
    normalising_ = true;
    for (int group = 0; group < bank::kGroupCount; ++group) {
        SlotListWidget* list = lists_[static_cast<std::size_t>(group)];
        for (int row = 0; row < bank::kSlotsPerGroup; ++row) {
            const bool wanted = group * bank::kSlotsPerGroup + row == slot;
            if (list->item(row)->isSelected() != wanted) {
                list->item(row)->setSelected(wanted);
            }
        }
    }
    normalising_ = was;
}

void MainWindow::onListSelectionChanged() {
    if (normalising_ || jobs_->busy()) {
        return;
    }
    const int slot = GetSelectedSlot();
    if (slot >= 0) {
        ShowSlotInfo(slot);
    }
    if (switchSource_ >= 0) {
        // A click that leaves nothing selected swaps nothing but still ends Switch mode.
        const int from = switchSource_;
        if (slot >= 0) {
            bank::SwapSlots(bank_, slot, from);
            changedSinceExport_ = true;
        }
        FillSlotLists();
        selectedSlot_ = -1;
        selectOnly(-1);
        ShowSlotInfo(-1);
        CancelSwitch();
        if (slot >= 0) {
            ShowSwitched(from, slot);
        }
    }
}

void MainWindow::ShowSwitched(int from, int to) {
    statusBar()->showMessage(QStringLiteral("Switched %1 and %2.")
                                 .arg(QString::fromStdString(bank::SlotLabel(from)),
                                      QString::fromStdString(bank::SlotLabel(to))));
}

void MainWindow::onSlotDropped(int fromSlot, int toSlot) {
    if (jobs_->busy()) {
        return;
    }
    CancelSwitch();
    if (fromSlot == toSlot || !bank::SlotOccupied(bank_, fromSlot)) {
        return;
    }
    bank::SwapSlots(bank_, fromSlot, toSlot);
    changedSinceExport_ = true;
    FillSlotLists();
    selectedSlot_ = toSlot;
    selectOnly(toSlot);
    ShowSlotInfo(toSlot);
    ShowSwitched(fromSlot, toSlot);
}

bool MainWindow::occupiedSelection(int& slot) {
    slot = GetSelectedSlot();
    return bank::SlotOccupied(bank_, slot);
}

// ---------------------------------------------------------------- panels

void MainWindow::ShowSlotInfo(int slot) {
    const bool occupied = bank::SlotOccupied(bank_, slot);
    ui_->mainCategoryBox->setCurrentIndex(0);
    for (QCheckBox* box : categoryBoxes_) {
        box->setChecked(false);
    }
    ui_->categoriesPanel->setEnabled(occupied);
    ui_->informationsPanel->setEnabled(occupied);
    if (!occupied) {
        ui_->infoText->clear();
        markMainCategory();
        return;
    }
    volume::ProgramRecord& record = bank_.slots[static_cast<std::size_t>(slot)];
    volume::BuildProgramSummary(record);
    ui_->infoText->setPlainText(FromRecordLines(record.summary));
    const bank::CategoryPanel panel = bank::CategoryPanelFor(record.categories);
    ui_->mainCategoryBox->setCurrentIndex(panel.mainItem);
    for (int letter = 0; letter < 16; ++letter) {
        categoryBoxes_[static_cast<std::size_t>(letter)]->setChecked(panel.checked[static_cast<std::size_t>(letter)]);
    }
    markMainCategory();
}

void MainWindow::markMainCategory() {
    // The main category's box shows ticked and cannot be unticked, so the two never disagree;
    // the letter is stored once, as the main one.
    const int mainLetter = ui_->mainCategoryBox->currentIndex() - 1;
    for (int letter = 0; letter < 16; ++letter) {
        QCheckBox* box = categoryBoxes_[static_cast<std::size_t>(letter)];
        const bool isMain = letter == mainLetter;
        if (!box->isEnabled() && !isMain) {
            box->setChecked(false);  // was the main one until now
        }
        box->setEnabled(!isMain);
        box->setToolTip(isMain ? QStringLiteral("The main category") : QString());
        if (isMain) {
            box->setChecked(true);
        }
    }
}

void MainWindow::StoreCategories() {
    const int slot = selectedSlot_;
    if (!bank::SlotOccupied(bank_, slot)) {
        return;
    }
    bank::CategoryPanel panel;
    panel.mainItem = ui_->mainCategoryBox->currentIndex();
    for (int letter = 0; letter < 16; ++letter) {
        panel.checked[static_cast<std::size_t>(letter)] = categoryBoxes_[static_cast<std::size_t>(letter)]->isChecked();
    }
    volume::ProgramRecord& record = bank_.slots[static_cast<std::size_t>(slot)];
    record.categories = bank::CategoriesFromPanel(panel);
    changedSinceExport_ = true;
    core::DebugPrint("change %s\n", record.categories.c_str());
}

// ---------------------------------------------------------------- Switch mode

void MainWindow::BeginSwitch(int slot) {
    if (slot < 0) {
        CancelSwitch();
        return;
    }
    switchSource_ = slot;
    // Only this application's cursor changes; the user's cursor set is left alone.
    if (!overrideCursor_) {
        QApplication::setOverrideCursor(QCursor(Qt::PointingHandCursor));
        overrideCursor_ = true;
    }
    statusBar()->showMessage(QStringLiteral("Switch: click the slot to exchange with %1.")
                                 .arg(QString::fromStdString(bank::SlotLabel(slot))));
}

void MainWindow::CancelSwitch() {
    switchSource_ = -1;
    if (overrideCursor_) {
        QApplication::restoreOverrideCursor();
        overrideCursor_ = false;
        statusBar()->clearMessage();
    }
}

// ---------------------------------------------------------------- right-button menu

bool MainWindow::showEditMenuAt(const QPoint& globalPos) {
    if (!ui_->listPanel->rect().contains(ui_->listPanel->mapFromGlobal(globalPos))) {
        return false;
    }
    int slot = -1;
    if (!occupiedSelection(slot)) {
        return false;
    }
    SlotListWidget* list = lists_[static_cast<std::size_t>(slot / bank::kSlotsPerGroup)];
    if (!list->rect().contains(list->mapFromGlobal(globalPos))) {
        return false;
    }
    ui_->menuEdit->popup(globalPos);
    return true;
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    if (jobs_->busy()) {
        return;
    }
    showEditMenuAt(event->globalPos());
    event->accept();
}

// ---------------------------------------------------------------- jobs

void MainWindow::runJob(const std::function<void()>& job) {
    jobs_->run(job, [this](const QString& text) {
        platform_.ShowMessage(text.toStdString(), "Error", platform::Icon::kStop);
    });
}

void MainWindow::afterImport(const bank::ImportOutcome& outcome, const QString& bankIndex) {
    const bool placedAny = !outcome.placed.empty();
    if (placedAny) {
        changedSinceExport_ = true;
        if (!bankIndex.isEmpty()) {
            rememberBank(bankIndex);
        }
    }
    if (outcome.cancelled) {
        statusBar()->showMessage(QStringLiteral("Import cancelled; the bank is unchanged."));
    } else {
        QString text = tr("%n program(s) imported", nullptr, static_cast<int>(outcome.placed.size()));
        if (outcome.skipped > 0) {
            text += QStringLiteral(", %1 skipped").arg(outcome.skipped);
        }
        if (outcome.stopped) {
            text += QStringLiteral("; the import stopped early");
        } else if (outcome.interrupted) {
            text += QStringLiteral("; the import was cancelled before the rest");
        }
        statusBar()->showMessage(text + QLatin1Char('.'));
    }
    FillSlotLists();
    const int slot = GetSelectedSlot();
    if (bank::SlotOccupied(bank_, slot)) {
        ShowSlotInfo(slot);
    }
}

void MainWindow::importPrograms() {
    const int start = GetSelectedSlot();
    bank::ImportOutcome outcome;
    runJob([&] { bank::ImportProgramsCommand(platform_, bank_, start, &outcome, showEachPlaced()); });
    afterImport(outcome, {});
}

void MainWindow::importBank() {
    const int start = GetSelectedSlot();
    bank::ImportOutcome outcome;
    runJob([&] { bank::ImportBankCommand(platform_, bank_, start, &outcome, showEachPlaced()); });
    afterImport(outcome, QtPlatform::FromNativePath(outcome.bankIndex));
}

void MainWindow::importFiles(const QStringList& paths, int startSlot) {
    if (jobs_->busy() || paths.isEmpty()) {
        return;
    }
    CancelSwitch();
    std::vector<std::string> files;
    for (const QString& path : paths) {
        files.push_back(QtPlatform::ToNativePath(path));
    }
    const bool bankIndex =
        paths.size() == 1 && QFileInfo(paths.front()).suffix().compare(QStringLiteral("txt"), Qt::CaseInsensitive) == 0;
    bank::ImportOutcome outcome;
    runJob([&] {
        if (bankIndex) {
            bank::ImportBank(platform_, bank_, files.front(), startSlot, &outcome, showEachPlaced());
        } else {
            bank::ImportPrograms(platform_, bank_, files, startSlot, &outcome, showEachPlaced());
        }
    });
    afterImport(outcome, bankIndex ? paths.front() : QString());
}

void MainWindow::exportBank() {
    exportOptions_.accepted = false;
    ExportDialog dialog(exportOptions_, bank_, platform_, this);
    dialog.exec();
    if (!exportOptions_.accepted) {
        return;
    }
    int result = exporting::kExportFinished;
    exporting::ExportOutcome outcome;
    runJob([&] { result = exporting::ExportBank(platform_, bank_, exportOptions_, &outcome); });
    if (result == exporting::kExportFinished) {
        changedSinceExport_ = false;
    }
    if (result == exporting::kExportFinished || result == exporting::kExportIncomplete) {
        const QString counts = QString::fromStdString(exporting::CountsMessage(outcome.counts, outcome.listed));
        statusBar()->showMessage((result == exporting::kExportIncomplete ? QStringLiteral("Export incomplete: ")
                                                                         : QString()) +
                                 QString(counts).replace(u'\n', u' '));
    } else {
        statusBar()->showMessage(QStringLiteral("The export did not finish; see the message for why."));
    }
}

void MainWindow::createCatalogue() {
    publishCatalogue(false);
}

void MainWindow::createDynamicCatalogue() {
    publishCatalogue(true);
}

void MainWindow::publishCatalogue(bool dynamic) {
    std::string written;
    int result = catalogue::kCatalogueDone;
    runJob([&] {
        result = dynamic ? catalogue::CreateDynamicCatalogue(platform_, &written)
                         : catalogue::CreateCatalogue(platform_, &written);
    });
    statusBar()->showMessage(
        result == catalogue::kCatalogueCancelled ? QStringLiteral("Catalogue cancelled: no page was written.")
        : written.empty()                        ? QStringLiteral("No catalogue was written.")
                          : QStringLiteral("Catalogue written to %1").arg(QtPlatform::FromNativePath(written)));
}

void MainWindow::checkVolume() {
    std::optional<doctor::Report> report;
    runJob([&] { report = doctor::CheckVolumeJob(platform_); });
    if (!report) {
        return;
    }
    if (report->stopped) {
        statusBar()->showMessage(QStringLiteral("Volume check cancelled."));
        return;
    }
    // A window of its own, so the report stays open beside the bank while the user works.
    auto* window = new CheckVolumeDialog(std::move(*report), platform_, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

// ---------------------------------------------------------------- remembered banks

QStringList MainWindow::recentBanks() const {
    return QSettings().value(QStringLiteral("recentBanks")).toStringList();
}

void MainWindow::rememberBank(const QString& bankIndex) {
    QStringList banks = recentBanks();
    const QString path = QFileInfo(bankIndex).absoluteFilePath();
    banks.removeAll(path);
    banks.prepend(path);
    while (banks.size() > 8) {
        banks.removeLast();
    }
    QSettings().setValue(QStringLiteral("recentBanks"), banks);
    fillRecentMenu();
}

void MainWindow::fillRecentMenu() {
    ui_->menuRecent->clear();
    const QStringList banks = recentBanks();
    for (const QString& path : banks) {
        // The volume's name and the bank's folder say more than the whole path.
        const QDir bankFolder = QFileInfo(path).dir();
        QDir volume = bankFolder;
        volume.cdUp();
        volume.cdUp();
        QAction* action = ui_->menuRecent->addAction(
            QStringLiteral("%1 / %2").arg(volume.dirName(), bankFolder.dirName()));
        action->setToolTip(path);
        action->setStatusTip(path);
        connect(action, &QAction::triggered, this, [this, path] {
            if (!QFileInfo::exists(path)) {
                platform_.ShowMessage("This bank is no longer there:\n" + QtPlatform::ToNativePath(path),
                                      "Information", platform::Icon::kInformation);
                return;
            }
            importFiles({path}, GetSelectedSlot());
        });
    }
    ui_->menuRecent->setEnabled(!banks.isEmpty());
}

// ---------------------------------------------------------------- dropped files

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!jobs_->busy() && event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths << QtPlatform::PathOfUrl(url);
        }
    }
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Dropped beside the lists: from the selected slot, as Import would place them.
    importFiles(paths, GetSelectedSlot());
}

// ---------------------------------------------------------------- slot commands

void MainWindow::renameProgram() {
    int slot = -1;
    if (!occupiedSelection(slot)) {
        return;
    }
    const volume::ProgramRecord& record = bank_.slots[static_cast<std::size_t>(slot)];
    RenameDialog dialog(FromRecordText(record.programName), platform_, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const std::string& name = dialog.newName();
    core::DebugPrint("rename %s\n", name.c_str());
    bank::RenameProgram(bank_, slot, name);
    changedSinceExport_ = true;
    FillSlotLists();
    ShowSlotInfo(slot);
}

void MainWindow::removeProgram() {
    const int slot = GetSelectedSlot();
    if (slot >= 0) {
        if (bank::SlotOccupied(bank_, slot)) {
            changedSinceExport_ = true;
        }
        bank::RemoveProgram(bank_, slot);
        ShowSlotInfo(slot);
    }
    FillSlotLists();
}

void MainWindow::switchSlots() {
    const int slot = GetSelectedSlot();
    if (slot >= 0) {
        BeginSwitch(slot);
    }
}

void MainWindow::showProperties() {
    int slot = -1;
    if (!occupiedSelection(slot)) {
        return;
    }
    PropertiesDialog dialog(bank_.slots[static_cast<std::size_t>(slot)], this);
    dialog.exec();
}

void MainWindow::showLogs() {
    int slot = -1;
    if (!occupiedSelection(slot)) {
        return;
    }
    LogDialog dialog(bank_.slots[static_cast<std::size_t>(slot)], this);
    dialog.exec();
}

void MainWindow::createDrumProgram() {
    if (drumEditor_) {
        drumEditor_(this, bank_);
        return;
    }
    platform_.ShowMessage("Create Drum Program is not part of this build.", "Information",
                          platform::Icon::kInformation);
}

void MainWindow::createMultisample() {
    if (multisampleEditor_) {
        multisampleEditor_(this, bank_);
        return;
    }
    platform_.ShowMessage("Create Multisample is not part of this build.", "Information",
                          platform::Icon::kInformation);
}

void MainWindow::showAbout() {
    AboutDialog dialog(this);
    dialog.exec();
}

void MainWindow::showShortcuts() {
    QStringList rows;
    for (QAction* action : findChildren<QAction*>()) {
        if (!action->shortcut().isEmpty()) {
            QString name = action->text();
            name.remove(QLatin1Char('&'));
            rows << QStringLiteral("<tr><td>%1</td><td><b>%2</b></td></tr>")
                        .arg(name.toHtmlEscaped(), action->shortcut().toString(QKeySequence::NativeText).toHtmlEscaped());
        }
    }
    rows.sort();
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Keyboard Shortcuts"),
                    QStringLiteral("<table cellspacing='6'>%1</table>"
                                   "<p>In the slot lists: drag a slot onto another to switch them; drop program "
                                   "files or a bank.txt on a slot or on the window to import them.</p>"
                                   "<p>In the editors: the space bar plays the selected sample; Escape closes.</p>")
                        .arg(rows.join(QString())),
                    QMessageBox::Close, this);
    box.setObjectName(QStringLiteral("ShortcutsDialog"));
    box.setTextFormat(Qt::RichText);
    box.exec();
}

// ---------------------------------------------------------------- leaving

void MainWindow::quit() {
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (jobs_->busy()) {
        event->ignore();
        return;
    }
    CancelSwitch();
    // Nothing persists between runs: a bank that was never exported is lost.
    if (hasUnexportedPrograms() &&
        !platform_.Confirm("The bank holds programs that were never exported; they are lost when "
                           "Velmorant ends.\nQuit anyway?",
                           "Confirm", platform::Icon::kQuestion)) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace velmorant::ui
