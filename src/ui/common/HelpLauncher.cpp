#include "ui/common/HelpLauncher.h"

#include "ui/common/Messages.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace orvane::ui::common {

namespace {
QStringList viewerNames()
{
#ifdef Q_OS_WIN
    return {QStringLiteral("hh.exe")};
#else
    return {QStringLiteral("xchm"), QStringLiteral("kchmviewer")};
#endif
}
} // namespace

HelpLauncher::HelpLauncher()
    : HelpLauncher([](const QString& name) { return QStandardPaths::findExecutable(name); },
                   [](const QString& program, const QStringList& arguments) {
                       return QProcess::startDetached(program, arguments);
                   },
                   [](const QUrl& url) { return QDesktopServices::openUrl(url); })
{}

HelpLauncher::HelpLauncher(FindProgram findProgram, StartDetached startDetached, OpenUrl openUrl)
    : m_findProgram(std::move(findProgram)), m_startDetached(std::move(startDetached)), m_openUrl(std::move(openUrl))
{}

HelpLauncher::Result HelpLauncher::open(const QString& helpFile) const
{
    const QFileInfo file(helpFile);
    if (!file.isFile())
        return Result::FileMissing;
    // Viewers resolve a bare name against their own working folder, so they get the full path.
    const QString path = QDir::toNativeSeparators(file.absoluteFilePath());
    for (const QString& name : viewerNames()) {
        const QString program = m_findProgram(name);
        if (!program.isEmpty() && m_startDetached(program, {path}))
            return Result::Started;
    }
    return m_openUrl(QUrl::fromLocalFile(file.absoluteFilePath())) ? Result::Started : Result::NoViewer;
}

QString HelpLauncher::helpFilePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/orvane.chm");
}

void showHelp(QWidget* parent)
{
    const QString path = QDir::toNativeSeparators(HelpLauncher::helpFilePath());
    switch (HelpLauncher().open(path)) {
    case HelpLauncher::Result::Started:
        return;
    case HelpLauncher::Result::FileMissing:
        showMessage(parent, QStringLiteral("The help file cannot be found:\n%1").arg(path), QMessageBox::Information);
        return;
    case HelpLauncher::Result::NoViewer:
        showMessage(parent,
                    QStringLiteral("No program to show the help file was found. Install a viewer for "
                                   "compiled HTML help (.chm) files, such as xchm, to read:\n%1")
                        .arg(path),
                    QMessageBox::Information);
        return;
    }
}

} // namespace orvane::ui::common
