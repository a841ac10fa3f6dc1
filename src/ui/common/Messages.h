#pragma once

#include <QMessageBox>
#include <QString>

namespace orvane::ui::common {

// When the dictionary file cannot be opened: first, once, what happened; then, from the
// window that needed it, that it cannot go on.
inline constexpr const char* UnexpectedErrorText = "unexpected error";
inline constexpr const char* CannotContinueText = "Cannot continue";

// A message box with only an OK button, titled with the program's name, over `parent`
// (the active window when null); returns once the user has dismissed it.
void showMessage(QWidget* parent, const QString& text, QMessageBox::Icon icon = QMessageBox::Warning);

} // namespace orvane::ui::common
