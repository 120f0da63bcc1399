#include "app/BuildConfig.h"
#include "app/EntryReadAhead.h"
#include "app/QtPrompter.h"
#include "app/SessionEnd.h"
#include "app/TApplication.h"
#include "app/TDMActions.h"
#include "app/TFormMain.h"
#include "diag/DebugLog.h"

#include <QMessageBox>

int main(int argc, char* argv[])
{
    TApplication app(argc, argv);
    try {
        TApplication::setApplicationName(QStringLiteral("Tarvex's Diary"));
        // The desktop shows the window under its launcher's name and icon.
        TApplication::setDesktopFileName(QStringLiteral(JORNIX_APP_ID));
        TQtPrompter prompter;
        TEnvironment environment = ProcessEnvironment(&prompter);
        if (!TApplication::claimJournal(environment.homeDir()))
            return 0;
        // A long entry of today is read on the second core while the window is built.
        environment.entryReadAhead = ReadEntryAhead(environment, environment.today());
        TDMActions actions;
        {
            TFormMain form(environment, actions);
            app.setMainWindow(&form);
            // A log-out, a shut-down or a termination signal saves as a close does.
            TSessionEnd sessionEnd;
            QObject::connect(&sessionEnd, &TSessionEnd::commitRequested, &form,
                             [&form] { form.EndSession(false); });
            QObject::connect(&sessionEnd, &TSessionEnd::endRequested, &form,
                             [&form] { form.EndSession(true); });
            form.show();
            TApplication::exec();
            app.setMainWindow(nullptr);
        }
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Tarvex's Diary"), QString::fromUtf8(e.what()));
    }
    TDebugLog::Teardown();
    return 0;
}
