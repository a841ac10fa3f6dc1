#include "ui/common/Messages.h"

#include <QApplication>

namespace orvane::ui::common {

void showMessage(QWidget* parent, const QString& text, QMessageBox::Icon icon)
{
    QMessageBox box(icon, QStringLiteral("Orvane"), text, QMessageBox::Ok,
                    parent ? parent : QApplication::activeWindow());
    box.exec();
}

} // namespace orvane::ui::common
