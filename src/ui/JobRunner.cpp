#include "ui/JobRunner.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>

#include <exception>
#include <thread>

namespace velmorant::ui {
namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::Close:
            return true;
        default:
            return false;
    }
}

}  // namespace

JobRunner::JobRunner(QWidget* window) : QObject(window), window_(window) {}

void JobRunner::run(const std::function<void()>& job, const std::function<void(const QString&)>& onFailure) {
    if (busy_) {
        return;
    }
    busy_ = true;
    qApp->installEventFilter(this);

    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            job();
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();

    qApp->removeEventFilter(this);
    busy_ = false;

    if (failure) {
        QString text = QStringLiteral("The job stopped on an unexpected error.");
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& e) {
            text += QStringLiteral("\n") + QString::fromUtf8(e.what());
        } catch (...) {
        }
        onFailure(text);
    }
}

bool JobRunner::belongsToWindow(QObject* object) const {
    for (QObject* o = object; o != nullptr; o = o->parent()) {
        if (auto* widget = qobject_cast<QWidget*>(o)) {
            return widget->window() == window_;
        }
    }
    return false;
}

bool JobRunner::eventFilter(QObject* watched, QEvent* event) {
    if (busy_ && IsUserInput(event->type()) && belongsToWindow(watched)) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace velmorant::ui
