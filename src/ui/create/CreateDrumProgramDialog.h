#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

#include "create/AudioSamples.h"
#include "ui/create/AudioInput.h"
#include "create/DrumKit.h"
#include "audio/RootKeys.h"
#include "platform/Platform.h"

namespace Ui {
class CreateDrumProgramDialog;
}

namespace velmorant::ui {

class SamplePreview;

// The drum editor: WAV files assigned to keys as velocity layers, the layout saved and
// loaded as a kit file, and the drum program built from it. The kit starts empty each time.
class CreateDrumProgramDialog : public QDialog {
    Q_OBJECT

public:
    explicit CreateDrumProgramDialog(platform::Platform& platform, QWidget* parent = nullptr);
    ~CreateDrumProgramDialog() override;

    const create::DrumKit& kit() const { return kit_; }
    int currentKey() const { return currentKey_; }
    int currentLayer() const { return currentLayer_; }

    // The key becomes the current one, selected in the list and shown in the details.
    void selectKey(int key);
    void selectLayer(int layer);
    // "+" with the chooser; addLayerFiles for files dropped on a key.
    void addLayer();
    void addLayerFiles(int key, const QStringList& paths);
    void removeLayer();
    void moveLayerDown();
    void moveLayerUp();
    void newKit();
    void loadKit();
    void saveKit();
    void build();
    void previewLayer();

    QString statusText() const;
    // Asks first when the kit changed since it was last built, saved or loaded.
    void reject() override;

protected:
    // WAV files dropped on a row of the key list go to that key.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refreshKeyRow(int key);
    void refreshAllRows();
    void showKeyDetails();
    void fillLayerList();
    void showVelocityControls();
    void setUpperBoundFromSpin(int layer, int bound);
    void showStatus(const QString& text);
    // The plan over every sample the kit's build takes.
    void showPlan();

    std::unique_ptr<Ui::CreateDrumProgramDialog> ui_;
    audio::MiddleC middleC_;  // how note names number octaves, read once per editor
    create::AudioIn audioIn_;  // strict or converting, read once per editor
    AudioNotes notes_{audioIn_};
    platform::Platform& platform_;
    create::DrumKit kit_;
    int currentKey_ = -1;
    int currentLayer_ = -1;
    SamplePreview* preview_ = nullptr;
    bool unbuilt_ = false;
};

}  // namespace velmorant::ui
