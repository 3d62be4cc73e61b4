#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class AboutDialog;
}

namespace velmorant::ui {

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent);
    ~AboutDialog() override;

    static QString CreditsText();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::AboutDialog> ui_;
};

}  // namespace velmorant::ui
