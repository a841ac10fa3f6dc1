#pragma once

#include <QMessageBox>
#include <QString>

namespace orvane::ui::common {

// Shown by a window that needs the database when it could not be opened.
inline constexpr const char* CannotContinueText = "Cannot continue";

// A message box with only an OK button, titled with the program's name, over `parent`
// (the active window when null); returns once the user has dismissed it.
void showMessage(QWidget* parent, const QString& text, QMessageBox::Icon icon = QMessageBox::Warning);

} // namespace orvane::ui::common
