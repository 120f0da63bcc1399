#include "app/EntryReadAhead.h"

#include "app/DirectionHint.h"
#include "app/TEnvironment.h"
#include "journal/ReadAhead.h"
#include "settings/AppSettings.h"
#include "store/Directories.h"
#include "store/EntryNames.h"
#include "store/Paths.h"

namespace {

// Below this an entry reads in a few milliseconds: a thread would buy nothing.
constexpr qint64 WorthReadingAhead = 256 * 1024;

} // namespace

std::shared_ptr<TReadAhead> ReadEntryAhead(const TEnvironment& env, QDate date)
{
    const QString settingsPath = env.homeDir() + QStringLiteral("/jornix.ini");
    const QString docsDir =
        ResolveDocumentDirs(StoredDocumentsDir(settingsPath), QString(), env.relativeBase())
            .docsDir;
    const QString path = ResolveCaseInsensitive(docsDir, EntryFileNameOf(date));
    if (FileLength(path) < WorthReadingAhead)
        return nullptr;
    return std::make_shared<TReadAhead>(path, &TDirectionHint::lookAhead);
}
