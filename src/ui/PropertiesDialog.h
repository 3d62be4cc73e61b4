#pragma once

#include <QDialog>
#include <QIcon>

#include <memory>

#include "volume/ProgramRecord.h"

namespace Ui {
class PropertiesDialog;
}

namespace velmorant::ui {

// A program's summary and its dependency tree, one row per file, a multisample's
// samples directly after it.
class PropertiesDialog : public QDialog {
    Q_OBJECT

public:
    // Rebuilds the record's summary before showing it.
    PropertiesDialog(volume::ProgramRecord& record, QWidget* parent);
    ~PropertiesDialog() override;

    // The icons of the dependency kinds: ROM, sample, multisample.
    static QIcon KindIcon(volume::DependencyKind kind);

private:
    void fitColumns();

    std::unique_ptr<Ui::PropertiesDialog> ui_;
};

}  // namespace velmorant::ui
