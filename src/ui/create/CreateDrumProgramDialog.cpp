#include "ui/create/CreateDrumProgramDialog.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidgetItem>

#include "core/Debug.h"
#include "core/Path.h"
#include "create/DrumEditor.h"
#include "create/DrumProgram.h"
#include "ui/QtPlatform.h"
#include "ui/RecordText.h"
#include "ui/create/EditorArt.h"
#include "ui/NoteNaming.h"
#include "ui/create/KeyboardWidgets.h"
#include "ui/create/SamplePreview.h"
#include "ui/create/WaveformWidget.h"
#include "ui_CreateDrumProgramDialog.h"

namespace velmorant::ui {

namespace {

QString Text(const std::string& path) { return FromPathText(path); }

bool AnyKeyInUse(const create::DrumKit& kit) {
    for (const create::DrumKey& key : kit.keys) {
        if (key.state > create::kKeyNotInUse) {
            return true;
        }
    }
    return false;
}

void SetColumnWidths(QTreeWidget* tree, std::initializer_list<int> widths) {
    int column = 0;
    for (const int width : widths) {
        tree->header()->resizeSection(column++, width);
    }
    tree->header()->setStretchLastSection(false);
}

// The audio files a build of the kit takes, in the order it takes them.
std::vector<std::string> KitSamplePaths(const create::DrumKit& kit) {
    std::vector<std::string> paths;
    for (const create::DrumProgramPlan::Sample& sample : create::PlanDrumProgram(kit, "Kit").samples) {
        paths.push_back(kit.keys[static_cast<std::size_t>(sample.key)].layers[static_cast<std::size_t>(sample.layer)].path);
    }
    return paths;
}

// The up-downs change the value; the text itself is not typed into.
void ReadOnlyText(QSpinBox* spin) {
    if (auto* edit = spin->findChild<QLineEdit*>()) {
        edit->setReadOnly(true);
    }
    spin->setRange(0, 127);
    spin->setValue(10);
}

}  // namespace

CreateDrumProgramDialog::CreateDrumProgramDialog(platform::Platform& platform, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CreateDrumProgramDialog>()), middleC_(MiddleCSetting()),
      audioIn_(EditorAudioIn(middleC_)), platform_(platform) {
    ui_->setupUi(this);
    create::ResetKit(kit_);
    preview_ = new SamplePreview(this);
    connect(preview_, &SamplePreview::failed, this, &CreateDrumProgramDialog::showStatus);
    ui_->keyboard->setKit(&kit_);

    ui_->newKitButton->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    ui_->loadKitButton->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    ui_->saveKitButton->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ui_->moveDownButton->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    ui_->moveUpButton->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    ui_->playLayerButton->setIcon(PlayIcon());
    ui_->precButton->hide();
    ui_->defineOscillatorButton->hide();
    ui_->defineOscillatorButton->setEnabled(false);
    // "No" is wider than 40 so the number still shows beside the state icon.
    SetColumnWidths(ui_->keyList, {62, 48, 190});
    ui_->keyList->setMinimumWidth(ui_->keyList->header()->length() + ui_->keyList->verticalScrollBar()->sizeHint().width() +
                                  2 * ui_->keyList->frameWidth());
    const int conversion = ui_->layerList->fontMetrics().horizontalAdvance(QString::fromUtf8(kWidestConversion)) + 16;
    SetColumnWidths(ui_->layerList, {150, 44, 44, conversion});
    ui_->layerList->header()->setStretchLastSection(true);
    ui_->layerList->setMinimumWidth(ui_->layerList->header()->length() + 4);
    PreparePlanLine(ui_->planLabel);
    // The panels keep their place while hidden, so no button moves under the mouse when a
    // key is chosen or a layer selected.
    for (QWidget* panel : {ui_->keyDetails, ui_->velocityControls, ui_->layerControls, ui_->copyControls}) {
        QSizePolicy policy = panel->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        panel->setSizePolicy(policy);
    }
    ReadOnlyText(ui_->fromSpin);
    ReadOnlyText(ui_->toSpin);
    ui_->presetCombo->addItems({QStringLiteral("Default"), QStringLiteral("Short perc"), QStringLiteral("Long perc")});

    for (int key = 0; key < create::kDrumKitKeys; ++key) {
        new QTreeWidgetItem(ui_->keyList);
    }
    refreshAllRows();
    showKeyDetails();
    ui_->keyList->viewport()->setAcceptDrops(true);
    ui_->keyList->viewport()->installEventFilter(this);

    connect(ui_->keyList, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { selectKey(ui_->keyList->indexOfTopLevelItem(item)); });
    connect(ui_->keyList, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        const int key = ui_->keyList->indexOfTopLevelItem(item);
        if (item != nullptr && key != currentKey_) {
            selectKey(key);
        }
    });
    connect(ui_->keyboard, &DrumKeyboardWidget::keyClicked, this, &CreateDrumProgramDialog::selectKey);
    connect(ui_->keyboard, &DrumKeyboardWidget::filesDropped, this, &CreateDrumProgramDialog::addLayerFiles);
    connect(ui_->layerList, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { selectLayer(ui_->layerList->indexOfTopLevelItem(item)); });
    connect(ui_->addLayerButton, &QPushButton::clicked, this, &CreateDrumProgramDialog::addLayer);
    connect(ui_->removeLayerButton, &QPushButton::clicked, this, &CreateDrumProgramDialog::removeLayer);
    connect(ui_->moveDownButton, &QToolButton::clicked, this, &CreateDrumProgramDialog::moveLayerDown);
    connect(ui_->moveUpButton, &QToolButton::clicked, this, &CreateDrumProgramDialog::moveLayerUp);
    connect(ui_->playLayerButton, &QToolButton::clicked, this, &CreateDrumProgramDialog::previewLayer);
    connect(ui_->toSpin, &QSpinBox::valueChanged, this,
            [this](int value) { setUpperBoundFromSpin(currentLayer_, value); });
    connect(ui_->fromSpin, &QSpinBox::valueChanged, this,
            [this](int value) { setUpperBoundFromSpin(currentLayer_ - 1, value); });
    connect(ui_->copyCombo, &QComboBox::activated, this, [this](int index) {
        const std::vector<create::CopyChoice> choices = create::CopyChoices(kit_, middleC_);
        if (currentKey_ < 0 || index < 0 || index >= static_cast<int>(choices.size())) {
            return;
        }
        create::SetCopySource(kit_, currentKey_, choices[static_cast<std::size_t>(index)].key);
        unbuilt_ = true;
        refreshKeyRow(currentKey_);
    });
    connect(ui_->presetCombo, &QComboBox::activated, this,
            [this](int index) {
                create::SetPreset(kit_, currentKey_, index);
                unbuilt_ = true;
            });
    connect(ui_->defineOscillatorButton, &QPushButton::toggled, this, [this](bool on) {
        create::SetDefineOscillator(kit_, currentKey_, on);
        unbuilt_ = true;
        refreshKeyRow(currentKey_);
        showKeyDetails();
    });
    connect(ui_->newKitButton, &QToolButton::clicked, this, &CreateDrumProgramDialog::newKit);
    connect(ui_->loadKitButton, &QToolButton::clicked, this, &CreateDrumProgramDialog::loadKit);
    connect(ui_->saveKitButton, &QToolButton::clicked, this, &CreateDrumProgramDialog::saveKit);
    connect(ui_->createButton, &QPushButton::clicked, this, &CreateDrumProgramDialog::build);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    for (QWidget* list : {static_cast<QWidget*>(ui_->keyList), static_cast<QWidget*>(ui_->layerList)}) {
        auto* space = new QShortcut(QKeySequence(Qt::Key_Space), list);
        space->setContext(Qt::WidgetShortcut);
        connect(space, &QShortcut::activated, this, &CreateDrumProgramDialog::previewLayer);
    }
}

CreateDrumProgramDialog::~CreateDrumProgramDialog() = default;

void CreateDrumProgramDialog::selectKey(int key) {
    if (key < 0 || key >= create::kDrumKitKeys) {
        return;
    }
    const int previous = currentKey_;
    currentKey_ = key;
    currentLayer_ = -1;
    if (previous >= 0) {
        refreshKeyRow(previous);
    }
    {
        const QSignalBlocker blocker(ui_->keyList);
        QTreeWidgetItem* item = ui_->keyList->topLevelItem(key);
        ui_->keyList->setCurrentItem(item);
        ui_->keyList->scrollToItem(item);
    }
    ui_->keyboard->setCurrentKey(key);
    refreshKeyRow(key);
    showKeyDetails();
}

void CreateDrumProgramDialog::selectLayer(int layer) {
    if (currentKey_ < 0 || layer < 0 || layer >= kit_.keys[static_cast<std::size_t>(currentKey_)].layerCount()) {
        return;
    }
    currentLayer_ = layer;
    {
        const QSignalBlocker blocker(ui_->layerList);
        ui_->layerList->setCurrentItem(ui_->layerList->topLevelItem(layer));
    }
    showVelocityControls();
}

void CreateDrumProgramDialog::addLayer() {
    if (currentKey_ < 0) {
        return;
    }
    platform::OpenFileRequest request;
    request.title = "Add a layer";
    request.filters = AudioFileFilters(audioIn_.strict);
    const auto chosen = platform_.ChooseOpenFiles(request);
    if (chosen && !chosen->empty()) {
        const std::string& path = chosen->front();
        core::DebugPrint("%s (%i)\n", path.c_str(), static_cast<int>(path.size()));
        unbuilt_ = create::AddLayer(platform_, kit_, currentKey_, path) || unbuilt_;
        refreshKeyRow(currentKey_);
    }
    showKeyDetails();
}

void CreateDrumProgramDialog::addLayerFiles(int key, const QStringList& paths) {
    selectKey(key);
    if (currentKey_ != key) {
        return;
    }
    for (const QString& path : paths) {
        if (!create::AddLayer(platform_, kit_, key, QtPlatform::ToNativePath(path))) {
            break;
        }
        unbuilt_ = true;
    }
    refreshKeyRow(key);
    showKeyDetails();
}

void CreateDrumProgramDialog::removeLayer() {
    create::RemoveLayer(kit_, currentKey_, currentLayer_);
    unbuilt_ = true;
    currentLayer_ = -1;
    refreshKeyRow(currentKey_);
    showKeyDetails();
}

void CreateDrumProgramDialog::moveLayerDown() {
    const int layer = currentLayer_;
    if (layer < 0) {
        return;
    }
    create::MoveLayerDown(kit_, currentKey_, layer);
    unbuilt_ = true;
    showKeyDetails();
    // The moved layer stays the current one so it can be moved again.
    selectLayer(layer + 1);
}

void CreateDrumProgramDialog::moveLayerUp() {
    const int layer = currentLayer_;
    if (layer < 0) {
        return;
    }
    create::MoveLayerUp(kit_, currentKey_, layer);
    unbuilt_ = true;
    showKeyDetails();
    selectLayer(layer - 1);
}

void CreateDrumProgramDialog::newKit() {
    create::ResetKit(kit_);
    unbuilt_ = false;
    currentKey_ = -1;
    currentLayer_ = -1;
    ui_->keyboard->setCurrentKey(-1);
    refreshAllRows();
    showKeyDetails();
}

void CreateDrumProgramDialog::loadKit() {
    if (AnyKeyInUse(kit_) &&
        !platform_.Confirm("Open a new file will reset all the current information unsaved.\nAre you sure you want "
                           "to continue?",
                           "Confirm", platform::Icon::kQuestion)) {
        refreshAllRows();
        return;
    }
    platform::OpenFileRequest request;
    request.title = "Open drum kit";
    request.filters = {{"FDK file (.fdk)", "*.fdk"}};
    const auto chosen = platform_.ChooseOpenFiles(request);
    // A cancelled chooser leaves the kit and its unsaved state as they were.
    if (chosen && !chosen->empty() && create::OpenKitCommand(platform_, kit_, chosen->front())) {
        unbuilt_ = false;
    }
    currentLayer_ = -1;
    refreshAllRows();
    showKeyDetails();
}

void CreateDrumProgramDialog::saveKit() {
    platform::SaveFileRequest request;
    request.title = "Save drum kit";
    request.filters = {{"FDK file (.fdk)", "*.fdk"}};
    const auto chosen = platform_.ChooseSaveFile(request);
    if (chosen && create::SaveKitCommand(platform_, kit_, *chosen)) {
        unbuilt_ = false;  // the work is kept in the kit file
    }
}

void CreateDrumProgramDialog::reject() {
    // Escape, Cancel and the window's close button all come here.
    if (unbuilt_ && AnyKeyInUse(kit_) &&
        !platform_.Confirm("The kit was changed since it was last built or saved; the changes are dropped "
                           "when the editor closes.\nClose anyway?",
                           "Confirm", platform::Icon::kQuestion)) {
        return;
    }
    QDialog::reject();
}

void CreateDrumProgramDialog::build() {
    platform::SaveFileRequest request;
    request.title = "Create Drums Program";
    request.filters = {{"Fusion Drums Program file(.afp)", "*.afp"}, {"All files", "*.*"}};
    const auto chosen = platform_.ChooseSaveFile(request);
    if (!chosen) {
        return;
    }
    const create::DrumBuildResult result = create::BuildDrumProgram(platform_, kit_, *chosen, audioIn_);
    notes_.setBuild(result.sampleSources, result.conversions);
    fillLayerList();
    showPlan();
    if (result.written) {
        unbuilt_ = false;
    }
    if (!result.written) {
        showStatus(tr("Nothing was built"));
    } else if (result.keysLeftOut > 0) {
        showStatus(tr("Built %1; %2 key(s) beyond 64 oscillators left out")
                       .arg(Text(result.programPath))
                       .arg(result.keysLeftOut));
    } else {
        showStatus(tr("Built %1").arg(Text(result.programPath)));
    }
}

void CreateDrumProgramDialog::previewLayer() {
    if (currentKey_ < 0) {
        return;
    }
    const create::DrumKey& key = kit_.keys[static_cast<std::size_t>(currentKey_)];
    if (key.layers.empty()) {
        showStatus(tr("This key has no sample to listen to."));
        return;
    }
    const int layer = currentLayer_ >= 0 && currentLayer_ < key.layerCount() ? currentLayer_ : 0;
    showStatus(preview_->play(QtPlatform::FromNativePath(key.layers[static_cast<std::size_t>(layer)].path)));
}

QString CreateDrumProgramDialog::statusText() const { return ui_->statusLabel->text(); }

void CreateDrumProgramDialog::refreshKeyRow(int key) {
    if (key < 0 || key >= create::kDrumKitKeys) {
        return;
    }
    const create::DrumKeyRow row = create::MakeDrumKeyRow(kit_, key, middleC_);
    QTreeWidgetItem* item = ui_->keyList->topLevelItem(key);
    item->setText(0, QString::fromStdString(row.number));
    item->setText(1, QString::fromStdString(row.note));
    item->setText(2, FromRecordText(row.drumName));
    item->setIcon(0, KeyStateIcon(row.stateIcon));
    ui_->infoLine->setText(QString::fromStdString(create::OscillatorCountText(kit_)));
    ui_->keyboard->update();
}

void CreateDrumProgramDialog::refreshAllRows() {
    for (int key = 0; key < create::kDrumKitKeys; ++key) {
        refreshKeyRow(key);
    }
}

void CreateDrumProgramDialog::showKeyDetails() {
    core::DebugPrint("key list click %i\n", currentKey_);
    showPlan();
    if (currentKey_ < 0) {
        ui_->keyDetails->hide();
        return;
    }
    const create::DrumKey& key = kit_.keys[static_cast<std::size_t>(currentKey_)];
    ui_->keyDetails->show();
    ui_->presetCombo->setCurrentIndex(key.preset);
    const QSignalBlocker blocker(ui_->defineOscillatorButton);
    if (key.defineOscillator == 1) {
        ui_->layerControls->show();
        ui_->copyControls->hide();
        ui_->defineOscillatorButton->setChecked(true);
        currentLayer_ = -1;
        fillLayerList();
    } else {
        ui_->layerControls->hide();
        ui_->copyControls->show();
        ui_->defineOscillatorButton->setChecked(false);
        ui_->copyCombo->clear();
        const std::vector<create::CopyChoice> choices = create::CopyChoices(kit_, middleC_);
        for (const create::CopyChoice& choice : choices) {
            ui_->copyCombo->addItem(FromRecordText(choice.text));
        }
        ui_->copyCombo->setCurrentIndex(create::SelectedCopyChoice(choices, key));
        currentLayer_ = -1;
    }
    showVelocityControls();
}

void CreateDrumProgramDialog::fillLayerList() {
    const QSignalBlocker blocker(ui_->layerList);
    ui_->layerList->clear();
    if (currentKey_ < 0) {
        return;
    }
    const create::DrumKey& key = kit_.keys[static_cast<std::size_t>(currentKey_)];
    const std::vector<create::DrumLayerRow> rows = create::MakeDrumLayerRows(key);
    std::vector<std::string> paths;
    for (const create::DrumLayer& layer : key.layers) {
        paths.push_back(layer.path);
    }
    const QStringList conversions = notes_.conversions(paths);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        auto* item = new QTreeWidgetItem(ui_->layerList, {Text(rows[i].name), QString::fromStdString(rows[i].from),
                                                          QString::fromStdString(rows[i].to)});
        if (i < key.layers.size()) {
            item->setToolTip(0, notes_.forFile(key.layers[i].path));
            item->setText(3, conversions[static_cast<int>(i)]);
            item->setToolTip(3, conversions[static_cast<int>(i)]);
        }
    }
    if (currentLayer_ >= 0) {
        ui_->layerList->setCurrentItem(ui_->layerList->topLevelItem(currentLayer_));
    }
}

void CreateDrumProgramDialog::showVelocityControls() {
    if (currentKey_ < 0 || currentLayer_ < 0 ||
        kit_.keys[static_cast<std::size_t>(currentKey_)].state == create::kKeyNotInUse) {
        ui_->velocityControls->hide();
        ui_->waveform->showFile({});
        return;
    }
    const create::DrumKey& shown = kit_.keys[static_cast<std::size_t>(currentKey_)];
    const QString path = currentLayer_ < shown.layerCount()
                             ? QtPlatform::FromNativePath(shown.layers[static_cast<std::size_t>(currentLayer_)].path)
                             : QString();
    if (path != ui_->waveform->file()) {
        ui_->waveform->showFile(path);
    }
    const create::VelocityControls controls =
        create::MakeVelocityControls(kit_.keys[static_cast<std::size_t>(currentKey_)], currentLayer_);
    const QSignalBlocker toBlocker(ui_->toSpin);
    const QSignalBlocker fromBlocker(ui_->fromSpin);
    ui_->toSpin->setRange(controls.toMin, controls.toMax);
    ui_->toSpin->setValue(controls.to);
    ui_->toSpin->setEnabled(controls.toEnabled);
    ui_->fromSpin->setRange(controls.fromMin, controls.fromMax);
    ui_->fromSpin->setValue(controls.from);
    ui_->fromSpin->setEnabled(controls.fromEnabled);
    ui_->velocityControls->show();
}

void CreateDrumProgramDialog::setUpperBoundFromSpin(int layer, int bound) {
    if (currentKey_ < 0 || layer < 0) {
        return;
    }
    create::SetUpperBound(kit_, currentKey_, layer, bound);
    unbuilt_ = true;
    fillLayerList();
    showVelocityControls();
}

bool CreateDrumProgramDialog::eventFilter(QObject* watched, QEvent* event) {
    const bool drag = event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove;
    if (watched != ui_->keyList->viewport() || (!drag && event->type() != QEvent::Drop)) {
        return QDialog::eventFilter(watched, event);
    }
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList files = AudioFilesIn(drop->mimeData(), audioIn_.strict);
    const int key = ui_->keyList->indexOfTopLevelItem(ui_->keyList->itemAt(drop->position().toPoint()));
    if (files.isEmpty() || key < 0) {
        drop->ignore();
        return drag;
    }
    drop->acceptProposedAction();
    if (!drag) {
        addLayerFiles(key, files);
    }
    return true;
}

void CreateDrumProgramDialog::showStatus(const QString& text) { ui_->statusLabel->setText(text); }

void CreateDrumProgramDialog::showPlan() { SetPlanLine(ui_->planLabel, notes_.summary(KitSamplePaths(kit_))); }

}  // namespace velmorant::ui
