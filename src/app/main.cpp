#include "app/SingleInstance.h"
#include "data/Mainmode.h"
#include "shell/Fboard.h"
#include "shell/ProgramIcon.h"

#include <QApplication>
#include <QMessageBox>

namespace {
// Database failures are reported once, in a plain box with only an OK button.
void showDataError(const QString& message)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Orvane"), message, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    orvane::SingleInstance instance;
    if (!instance.claim())
        return 0; // another copy runs: leave silently, before any icon exists

    QApplication::setQuitOnLastWindowClosed(false); // the tray keeps the program alive
    QApplication::setWindowIcon(orvane::shell::programIcon());
    orvane::data::setErrorNotifier(showDataError);

    orvane::shell::Fboard board;
    board.Form_Load();
    return QApplication::exec();
}
