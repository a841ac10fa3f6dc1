#include "dictionary/frmMdict.h"

#include "shell/ProgramIcon.h"

namespace orvane {

namespace {
constexpr int twips(int value) { return value / 15; }
} // namespace

frmMdict::frmMdict(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMdict"));
    setWindowTitle(QStringLiteral("Orvane"));
    setWindowIcon(shell::programIcon());
    setFixedSize(twips(10095), twips(5910));
}

} // namespace orvane
