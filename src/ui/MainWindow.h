#pragma once

#include <QMainWindow>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

#include "bank/Bank.h"
#include "bank/ImportJobs.h"
#include "export/ExportBank.h"
#include "platform/Platform.h"

class QCheckBox;
class QMenu;

namespace Ui {
class MainWindow;
}

namespace velmorant::ui {

class JobRunner;
class SlotListWidget;

// The bank as 16 lists of 8 slots, the selected slot's categories and summary, and
// the menu of every command. One slot at most is selected over all lists.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    enum class Editor { kDrumProgram, kMultisample };
    using EditorOpener = std::function<void(QWidget* owner, bank::Bank& bank)>;

    explicit MainWindow(platform::Platform& platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    bank::Bank& bank() { return bank_; }
    exporting::ExportOptions& exportOptions() { return exportOptions_; }
    int selectedSlot() const { return selectedSlot_; }
    int switchSource() const { return switchSource_; }
    SlotListWidget* slotList(int group) const;
    QMenu* editMenu() const;
    bool jobRunning() const;
    // True when the bank changed since its last export and holds programs.
    bool hasUnexportedPrograms() const;

    // The instrument editors attach themselves here.
    void setEditorOpener(Editor editor, EditorOpener opener);

    void FillSlotLists();
    int GetSelectedSlot();
    void ShowSlotInfo(int slot);
    void StoreCategories();
    void BeginSwitch(int slot);
    void CancelSwitch();
    void ShowSwitched(int from, int to);

    // Imports files picked elsewhere (dropped, or named on the command line): one
    // bank.txt as a bank, anything else as programs, from startSlot (-1: A1).
    void importFiles(const QStringList& paths, int startSlot);
    // Opens the Edit menu at a screen point when that point lies over the list of the
    // selected, occupied slot; false (and nothing shown) otherwise.
    bool showEditMenuAt(const QPoint& globalPos);

protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Files dropped beside the lists are imported from the selected slot.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void connectCommand(QAction* action, void (MainWindow::*handler)());
    void onListSelectionChanged();
    void onSlotDropped(int fromSlot, int toSlot);
    void runJob(const std::function<void()>& job);
    // Refreshes the panels and says what the import did; a bank.txt that placed programs is
    // remembered in the Recent menu.
    void afterImport(const bank::ImportOutcome& outcome, const QString& bankIndex);
    void showSlotText(int slot);
    // For an import job: shows each program in its list as soon as it is placed.
    bank::PlacedCallback showEachPlaced();
    void markMainCategory();
    QStringList recentBanks() const;
    void rememberBank(const QString& bankIndex);
    void fillRecentMenu();
    void selectOnly(int slot);
    bool occupiedSelection(int& slot);

    void importPrograms();
    void importBank();
    void exportBank();
    void quit();
    void renameProgram();
    void removeProgram();
    void switchSlots();
    void showProperties();
    void showLogs();
    void createCatalogue();
    void createDynamicCatalogue();
    void publishCatalogue(bool dynamic);
    void checkVolume();
    void createDrumProgram();
    void createMultisample();
    void showAbout();
    void showShortcuts();

    std::unique_ptr<Ui::MainWindow> ui_;
    platform::Platform& platform_;
    JobRunner* jobs_ = nullptr;
    bank::Bank bank_;
    exporting::ExportOptions exportOptions_;
    std::array<SlotListWidget*, 16> lists_{};
    std::array<QCheckBox*, 16> categoryBoxes_{};
    int selectedSlot_ = -1;
    int switchSource_ = -1;
    bool overrideCursor_ = false;
    bool normalising_ = false;
    bool changedSinceExport_ = false;
    EditorOpener drumEditor_;
    EditorOpener multisampleEditor_;
};

}  // namespace velmorant::ui
