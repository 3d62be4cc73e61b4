#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>
#include <vector>

#include "create/SampleEntry.h"
#include "audio/RootKeys.h"
#include "create/AudioSamples.h"
#include "ui/create/AudioInput.h"
#include "platform/Platform.h"

namespace Ui {
class CreateMultisampleDialog;
}

namespace velmorant::ui {

class SamplePreview;

// The multisample editor: WAV files mapped to key zones, shown on a keyboard, built into
// a multisample and the program that plays it. The entries live as long as the dialog.
class CreateMultisampleDialog : public QDialog {
    Q_OBJECT

public:
    explicit CreateMultisampleDialog(platform::Platform& platform, QWidget* parent = nullptr);
    ~CreateMultisampleDialog() override;

    const std::vector<create::SampleEntry>& entries() const { return entries_; }

    // "+": the audio file chooser, then every chosen file the table has room for.
    void AddSamples();
    // Files dropped on the list, taken as "+" would take them.
    void addSampleFiles(const QStringList& paths);
    // Refills the list; `select` is the row to select afterwards (-1 none).
    void FillSampleList(int select = -1);
    // Below 0 hides the zone controls; otherwise shows them loaded from the entry.
    void ShowZone(int index);
    // 1 stored, 0 refused (left key above right key, or no entry shown).
    int ApplyZone();
    void removeSelected();
    void autoMap();
    void build();
    void previewSelected();

    int selectedRow() const;
    QString statusText() const;
    // Asks first when samples changed since the last build.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showStatus(const QString& text);
    void refreshAll(int select);

    std::unique_ptr<Ui::CreateMultisampleDialog> ui_;
    audio::MiddleC middleC_;  // how note names number octaves, read once per editor
    create::AudioIn audioIn_;  // strict or converting, read once per editor
    AudioNotes notes_{audioIn_};
    platform::Platform& platform_;
    std::vector<create::SampleEntry> entries_;
    SamplePreview* preview_ = nullptr;
    bool unbuilt_ = false;  // samples changed since the last build
};

}  // namespace velmorant::ui
