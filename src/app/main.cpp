#include "app/SingleInstance.h"
#include "app/WindowRegistry.h"
#include "core/data/Mainmode.h"
#include "ui/shell/Fboard.h"
#include "ui/common/Messages.h"
#include "ui/common/ProgramIcon.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    orvane::SingleInstance instance;
    if (!instance.claim())
        return 0; // another copy runs: leave silently, before any icon exists

    QApplication::setQuitOnLastWindowClosed(false); // the tray keeps the program alive
    QApplication::setWindowIcon(orvane::shell::programIcon());
    orvane::data::setErrorNotifier([](const QString& message) { orvane::shell::showMessage(nullptr, message); });

    orvane::shell::Fboard board;
    orvane::WindowRegistry::attach(&board);
    board.Form_Load();
    return QApplication::exec();
}
