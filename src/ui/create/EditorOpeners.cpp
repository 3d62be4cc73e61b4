#include "ui/create/EditorOpeners.h"

#include "ui/MainWindow.h"
#include "ui/QtPlatform.h"
#include "ui/create/CreateDrumProgramDialog.h"
#include "ui/create/CreateMultisampleDialog.h"

namespace velmorant::ui {

namespace {

template <typename Dialog>
void RunEditor(QWidget* owner) {
    QtPlatform platform;
    Dialog dialog(platform, owner);
    platform.setOwner(&dialog);
    dialog.exec();
}

}  // namespace

void AttachInstrumentEditors(MainWindow& window) {
    window.setEditorOpener(MainWindow::Editor::kMultisample,
                           [](QWidget* owner, bank::Bank&) { RunEditor<CreateMultisampleDialog>(owner); });
    window.setEditorOpener(MainWindow::Editor::kDrumProgram,
                           [](QWidget* owner, bank::Bank&) { RunEditor<CreateDrumProgramDialog>(owner); });
}

}  // namespace velmorant::ui
