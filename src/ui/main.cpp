#include <QApplication>
#include <QIcon>
#include <QStringList>
#include <QTimer>

#include "ui/MainWindow.h"
#include "ui/QtPlatform.h"
#include "ui/create/EditorOpeners.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velmorant"));
    QApplication::setApplicationName(QStringLiteral("Velmorant"));
    QApplication::setApplicationVersion(QStringLiteral(VELMORANT_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("velmorant"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/velmorant/velmorant.png")));

    velmorant::ui::QtPlatform platform;
    velmorant::ui::MainWindow window(platform);
    platform.setOwner(&window);
    velmorant::ui::AttachInstrumentEditors(window);
    window.show();

    // Files named on the command line (or opened from a file manager) are imported
    // as if they had been dropped on slot A1.
    // Taken from argv, whose bytes are the file names themselves: QApplication::arguments()
    // would replace a byte that is not UTF-8.
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        files << velmorant::ui::QtPlatform::FromNativePath(argv[i]);
    }
    if (!files.isEmpty()) {
        QTimer::singleShot(0, &window, [&window, files] { window.importFiles(files, -1); });
    }
    return QApplication::exec();
}
