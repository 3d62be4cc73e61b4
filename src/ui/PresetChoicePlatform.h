#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace velmorant::ui {

// Answers the job's first file chooser with files the user already picked (dropped
// onto the window or named on the command line); everything else goes through.
class PresetChoicePlatform final : public platform::Platform {
public:
    PresetChoicePlatform(platform::Platform& inner, std::vector<std::string> files)
        : inner_(inner), files_(std::move(files)) {}

    std::optional<std::vector<std::string>> ChooseOpenFiles(const platform::OpenFileRequest& request) override {
        if (files_) {
            std::optional<std::vector<std::string>> chosen = std::move(files_);
            files_.reset();
            return chosen;
        }
        return inner_.ChooseOpenFiles(request);
    }
    std::optional<std::string> ChooseSaveFile(const platform::SaveFileRequest& request) override {
        return inner_.ChooseSaveFile(request);
    }
    std::optional<std::string> ChooseFolder(std::string_view title) override { return inner_.ChooseFolder(title); }
    void ShowMessage(std::string_view text, std::string_view title, platform::Icon icon) override {
        inner_.ShowMessage(text, title, icon);
    }
    bool Confirm(std::string_view text, std::string_view title, platform::Icon icon) override {
        return inner_.Confirm(text, title, icon);
    }
    bool OpenDocument(const std::string& path) override { return inner_.OpenDocument(path); }
    std::unique_ptr<platform::ProgressWindow> StartProgressWindow(bool cycling) override {
        return inner_.StartProgressWindow(cycling);
    }

private:
    platform::Platform& inner_;
    std::optional<std::vector<std::string>> files_;
};

}  // namespace velmorant::ui
