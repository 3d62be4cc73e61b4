#include "UiTestSupport.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>

namespace velmorant::testing {

ModalHandler::ModalHandler(std::function<void(QWidget*)> handle) : handle_(std::move(handle)) {
    connect(&timer_, &QTimer::timeout, this, &ModalHandler::poll);
    timer_.start(10);
}

void ModalHandler::CloseIt(QWidget* modal) {
    modal->close();
}

void ModalHandler::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == last_) {
        return;
    }
    last_ = modal;
    seen << modal->objectName();
    handle_(modal);
}

void ClickRow(QListWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

QStringList ItemTexts(const QListWidget* list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) {
        texts << list->item(row)->text();
    }
    return texts;
}

}  // namespace velmorant::testing
