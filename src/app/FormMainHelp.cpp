#include "app/TFormMain.h"

#include "app/BuildConfig.h"
#include "store/JournalError.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

// The guide's anchor for the bug items when the build names no bug tracker.
const char* const ReportingSection = "reporting-a-problem";

} // namespace

void TFormMain::buildHelpCommands()
{
    makeCommand("HelpContents", &TFormMain::HelpContentsClick);
    makeCommand("BugTracking1", &TFormMain::BugTrackingClick);
    makeCommand("ReportBug1", &TFormMain::ReportBugClick);
}

void TFormMain::openUserGuide(const QString& section)
{
    const QString guide = env.userGuide();
    if (!QFileInfo(guide).isFile())
        throw TJournalError(QStringLiteral("The user guide was not found at \"%1\"").arg(guide));
    QUrl url = QUrl::fromLocalFile(guide);
    if (!section.isEmpty())
        url.setFragment(section);
    if (!QDesktopServices::openUrl(url))
        throw TJournalError(QStringLiteral("No program to show the user guide \"%1\" was found. "
                                           "Open it in a web browser")
                                .arg(guide));
}

void TFormMain::HelpContentsClick()
{
    openUserGuide({});
}

void TFormMain::BugTrackingClick()
{
    const QString address = QStringLiteral(JORNIX_BUG_URL);
    if (address.isEmpty())
        openUserGuide(QLatin1String(ReportingSection));
    else
        QDesktopServices::openUrl(QUrl(address));
}

void TFormMain::ReportBugClick()
{
    // One address serves both: a tracker's own pages lead from one to the other.
    BugTrackingClick();
}
