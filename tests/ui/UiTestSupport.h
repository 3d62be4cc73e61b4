#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

class QListWidget;

namespace velmorant::testing {

// Handles each modal window as it opens (a dialog, a message box), since exec()
// would otherwise wait for a person. Records the object name of every one it saw.
class ModalHandler : public QObject {
public:
    explicit ModalHandler(std::function<void(QWidget*)> handle = CloseIt);
    QStringList seen;

    static void CloseIt(QWidget* modal);

private:
    void poll();

    std::function<void(QWidget*)> handle_;
    QPointer<QWidget> last_;
    QTimer timer_;
};

// The named child of a window; a missing one ends the test run, since every later
// check would only dereference null.
template <typename T>
T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) {
        qFatal("no child %s", name);
    }
    return child;
}

// A left click on a row, as a person does it.
void ClickRow(QListWidget* list, int row);
// The texts of a list's items, in order.
QStringList ItemTexts(const QListWidget* list);

}  // namespace velmorant::testing
