#pragma once

#include <QDialog>
#include <QString>

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace Ui {
class RenameDialog;
}

namespace velmorant::ui {

// Asks for a program's new name; the window title names the program. OK refuses a
// character the instrument cannot store, and shows what the name rules would change
// before it accepts.
class RenameDialog : public QDialog {
    Q_OBJECT

public:
    RenameDialog(const QString& currentName, platform::Platform& platform, QWidget* parent);
    ~RenameDialog() override;

    // The accepted name as the record stores it (Windows-1252).
    const std::string& newName() const { return name_; }

    void accept() override;

private:
    std::unique_ptr<Ui::RenameDialog> ui_;
    platform::Platform& platform_;
    std::string name_;
};

}  // namespace velmorant::ui
