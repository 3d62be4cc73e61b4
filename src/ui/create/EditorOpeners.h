#pragma once

namespace velmorant::ui {

class MainWindow;

// Makes the main window's Create Multisample and Create Drum Program commands open the
// instrument editors. Each editor gets a platform of its own, so its boxes and choosers sit
// over the editor rather than over the main window.
void AttachInstrumentEditors(MainWindow& window);

}  // namespace velmorant::ui
